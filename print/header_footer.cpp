// Placeholder expansion for the header and footer lines and the page handler
// that prints them. Date and time are formatted in the C locale whatever the
// process locale is, so the printout reads the same everywhere.
#include "print/header_footer.h"

#include <locale.h>
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "print/qprint.h"

namespace {

enum class Placeholder { None, Date, Time, Page };

constexpr size_t PLACEHOLDER_LENGTH = 7;  // "&[", four letters, and one more

// A placeholder is "&[" and one of the names (any case); a "]" must follow
// somewhere after the "&[", but the character after the name is not looked at.
Placeholder PlaceholderAt(const char* text) {
  if (text[0] != '&' || text[1] != '[' || !std::strchr(text + 2, ']')) return Placeholder::None;
  if (strncasecmp(text + 2, "date", 4) == 0) return Placeholder::Date;
  if (strncasecmp(text + 2, "time", 4) == 0) return Placeholder::Time;
  if (strncasecmp(text + 2, "page", 4) == 0) return Placeholder::Page;
  return Placeholder::None;
}

// Formats the local time now into `room` bytes; nothing when it does not fit.
size_t FormatClock(char* out, size_t room, const char* format) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const size_t written = strftime_l(out, room, format, &local, cLocale);
  if (written == 0 && room > 0) out[0] = '\0';
  return written;
}

// A page number that does not fit is cut at the room left.
size_t FormatPage(char* out, size_t room, int pageNumber) {
  const int wanted = std::snprintf(out, room, "%d", pageNumber);
  if (wanted < 0) return 0;
  return std::min(static_cast<size_t>(wanted), room - 1);
}

size_t AppendValue(Placeholder placeholder, char* out, size_t room, int pageNumber) {
  switch (placeholder) {
    case Placeholder::Date: return FormatClock(out, room, "%x");
    case Placeholder::Time: return FormatClock(out, room, "%X");
    case Placeholder::Page: return FormatPage(out, room, pageNumber);
    case Placeholder::None: break;
  }
  return 0;
}

void PrintHeader(int pageNumber) {
  if (!qprintHasHeader()) return;
  char line[HEADER_FOOTER_BUFFER];
  ExpandHeaderFooter(line, sizeof line, qprintGetHeader(), pageNumber);
  qprintText(qprintCurrentFont(), line, QPRINT_CENTRE, 0);
  qprintBlankLines(qprintCurrentFont(), 1);
}

void PrintFooter(int pageNumber) {
  if (!qprintHasFooter()) return;
  int width = 0, height = 0, left = 0, top = 0, right = 0, bottom = 0;
  qprintGetPageSize(&width, &height);
  qprintGetMargins(&left, &top, &right, &bottom);
  qprintSetY(height - bottom);
  char line[HEADER_FOOTER_BUFFER];
  ExpandHeaderFooter(line, sizeof line, qprintGetFooter(), pageNumber);
  qprintText(qprintCurrentFont(), line, QPRINT_CENTRE, 0);
}

}  // namespace

void ExpandHeaderFooter(char* out, size_t size, const char* templateText, int pageNumber) {
  if (size == 0) return;
  const size_t limit = size - 1;
  size_t length = 0;
  const char* at = templateText;
  while (length < limit && *at != '\0') {
    const Placeholder placeholder = PlaceholderAt(at);
    if (placeholder == Placeholder::None) {
      out[length++] = *at++;
      continue;
    }
    length += AppendValue(placeholder, out + length, size - length, pageNumber);
    at += PLACEHOLDER_LENGTH;
  }
  out[length] = '\0';
}

void PrintHeaderFooter(int pageNumber, int isHeader) {
  if (isHeader)
    PrintHeader(pageNumber);
  else
    PrintFooter(pageNumber);
}
