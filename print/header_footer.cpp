// Placeholder expansion for the header and footer lines and the page handler
// that prints them. Names are compared in ASCII, whatever the locale.
#include "print/header_footer.h"

#include <algorithm>
#include <cstring>

#include "print/qprint.h"

namespace {

enum class Placeholder { None, Date, Time, Page };

constexpr size_t PLACEHOLDER_LENGTH = 7;  // "&[", four letters, and one more

ClockReader clockReader = nullptr;

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The four letters at `text` spell `name` (lower case) in any case.
bool NameAt(const char* text, const char* name) {
  for (int i = 0; i < 4; ++i)
    if (AsciiLower(text[i]) != name[i]) return false;  // stops at the terminator too
  return true;
}

// A placeholder is "&[" and one of the names (any case); a "]" must follow
// somewhere after the "&[", but the character after the name is not looked at.
Placeholder PlaceholderAt(const char* text) {
  if (text[0] != '&' || text[1] != '[' || !std::strchr(text + 2, ']')) return Placeholder::None;
  if (NameAt(text + 2, "date")) return Placeholder::Date;
  if (NameAt(text + 2, "time")) return Placeholder::Time;
  if (NameAt(text + 2, "page")) return Placeholder::Page;
  return Placeholder::None;
}

// Copies a date or time into `room` bytes; nothing when it does not fit.
size_t AppendWhole(char* out, size_t room, const std::string& value) {
  if (value.size() >= room) return 0;
  std::memcpy(out, value.data(), value.size());
  return value.size();
}

// A page number that does not fit is cut at the room left.
size_t AppendPage(char* out, size_t room, const char* page) {
  const size_t length = std::min(std::strlen(page), room - 1);
  std::memcpy(out, page, length);
  return length;
}

size_t AppendValue(Placeholder placeholder, char* out, size_t room, const char* page, const ClockReading& now) {
  switch (placeholder) {
    case Placeholder::Date: return AppendWhole(out, room, now.date);
    case Placeholder::Time: return AppendWhole(out, room, now.time);
    case Placeholder::Page: return AppendPage(out, room, page);
    case Placeholder::None: break;
  }
  return 0;
}

void PrintExpanded(const char* templateText, int pageNumber) {
  char line[HEADER_FOOTER_BUFFER];
  ExpandHeaderFooter(line, sizeof line, templateText, pageNumber, clockReader ? clockReader() : ClockReading{});
  qprintText(qprintCurrentFont(), line, QPRINT_CENTRE, 0);
}

void PrintHeader(int pageNumber) {
  if (!qprintHasHeader()) return;
  PrintExpanded(qprintGetHeader(), pageNumber);
  qprintBlankLines(qprintCurrentFont(), 1);
}

void PrintFooter(int pageNumber) {
  if (!qprintHasFooter()) return;
  int width = 0, height = 0, left = 0, top = 0, right = 0, bottom = 0;
  qprintGetPageSize(&width, &height);
  qprintGetMargins(&left, &top, &right, &bottom);
  qprintSetY(height - qprintPointsToDevice(bottom));  // the module keeps both within range
  PrintExpanded(qprintGetFooter(), pageNumber);
}

}  // namespace

void ExpandHeaderFooter(char* out, size_t size, const char* templateText, int pageNumber, const ClockReading& now) {
  ExpandHeaderFooter(out, size, templateText, std::to_string(pageNumber).c_str(), now);
}

void ExpandHeaderFooter(char* out, size_t size, const char* templateText, const char* page, const ClockReading& now) {
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
    length += AppendValue(placeholder, out + length, size - length, page, now);
    at += PLACEHOLDER_LENGTH;
  }
  out[length] = '\0';
}

void SetHeaderFooterClock(ClockReader reader) { clockReader = reader; }

void PrintHeaderFooter(int pageNumber, int isHeader) {
  if (isHeader)
    PrintHeader(pageNumber);
  else
    PrintFooter(pageNumber);
}
