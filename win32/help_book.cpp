// Reads a control's topic out of the help book's HTML.
#include "win32/help_book.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "win32/utf8.h"

namespace {

// Tags out, the few entities the book uses in, runs of white space as one.
std::string PlainText(const std::string& html) {
  std::string text;
  bool inTag = false;
  for (size_t i = 0; i < html.size(); ++i) {
    const char c = html[i];
    if (c == '<') {
      inTag = true;
      if (html.compare(i, 3, "<p>") == 0 || html.compare(i, 4, "<br") == 0 || html.compare(i, 4, "<li") == 0)
        text += "\n";
    } else if (c == '>') {
      inTag = false;
    } else if (!inTag) {
      static const std::pair<const char*, const char*> entities[] = {
          {"&ndash;", "\xE2\x80\x93"}, {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&nbsp;", " "}};
      bool replaced = false;
      for (const auto& [entity, character] : entities) {
        const std::string name = entity;
        if (html.compare(i, name.size(), name) == 0) {
          text += character;
          i += name.size() - 1;
          replaced = true;
          break;
        }
      }
      if (replaced) continue;
      const bool space = c == ' ' || c == '\n' || c == '\r' || c == '\t';
      if (!space) text += c;
      else if (!text.empty() && text.back() != ' ' && text.back() != '\n') text += ' ';
    }
  }
  while (!text.empty() && (text.front() == '\n' || text.front() == ' ')) text.erase(text.begin());
  return text;
}

}  // namespace

std::wstring HelpTopic(const std::filesystem::path& book, int controlId) {
  std::ifstream in(book, std::ios::binary);
  const std::string html(std::istreambuf_iterator<char>(in), {});
  const std::string marker = "<div class=\"topic\" data-ids=\"";
  for (size_t at = html.find(marker); at != std::string::npos; at = html.find(marker, at + 1)) {
    const size_t idsEnd = html.find('"', at + marker.size());
    const size_t end = html.find("</div>", idsEnd);
    if (idsEnd == std::string::npos || end == std::string::npos) break;
    std::istringstream ids(html.substr(at + marker.size(), idsEnd - at - marker.size()));
    for (int id; ids >> id;)
      if (id == controlId) return FromUtf8(PlainText(html.substr(idsEnd + 2, end - idsEnd - 2)));
  }
  return {};
}
