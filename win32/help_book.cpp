// Reads a control's topic out of the help book's HTML.
#include "win32/help_book.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <map>

#include "resources/help_topics.h"
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
  const std::map<int, std::string> topics = HelpTopics(html);
  const auto topic = topics.find(controlId);
  return topic == topics.end() ? std::wstring() : FromUtf8(PlainText(topic->second));
}
