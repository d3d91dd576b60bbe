// The help book's short topics: each <div class="topic" data-ids="1014 1015">
// explains the controls it names. Both windows show them for F1 and the
// question-mark help.
#pragma once

#include <map>
#include <string>
#include <string_view>

// The HTML inside each topic, by the ids of the controls it explains.
inline std::map<int, std::string> HelpTopics(std::string_view book) {
  constexpr std::string_view marker = "<div class=\"topic\" data-ids=\"";
  std::map<int, std::string> topics;
  for (size_t at = book.find(marker); at != std::string_view::npos; at = book.find(marker, at + 1)) {
    const size_t idsAt = at + marker.size();
    const size_t idsEnd = book.find("\">", idsAt);
    const size_t end = book.find("</div>", idsEnd);
    if (idsEnd == std::string_view::npos || end == std::string_view::npos) break;
    const std::string topic(book.substr(idsEnd + 2, end - idsEnd - 2));
    int id = -1;
    for (char c : book.substr(idsAt, idsEnd - idsAt + 1)) {
      if (c >= '0' && c <= '9') {
        id = (id < 0 ? 0 : id * 10) + (c - '0');
      } else if (id >= 0) {
        topics.insert_or_assign(id, topic);
        id = -1;
      }
    }
  }
  return topics;
}
