// The print job: font from the settings (face, size and weight), margins,
// header and footer, then one printed line per paper line.
#include "print/paper_job.h"

#include <cstring>
#include <utility>

#include "app/settings.h"
#include "heap/hcheap.h"
#include "print/qprint.h"

namespace {

constexpr int DEFAULT_POINTS = 8;

void Pump(const PrintJobHost& host) {
  if (host.pump) host.pump();
}

int CreateJobFont(const Settings& settings) {
  if (settings.Font.empty()) return qprintCreateFont(DEFAULT_FONT_FACE, DEFAULT_POINTS, DEFAULT_POINTS, settings.Weight);
  const std::string face = PrintableText(settings.Font);
  return qprintCreateFont(face, settings.PointSize, settings.PointSize, settings.Weight);
}

void SetUpPage(const Settings& settings, int font) {
  qprintSetMargins(settings.MarginTop, settings.MarginBottom, settings.MarginLeft, settings.MarginRight);
  qprintSetLineSpacing(0);
  qprintSelectFont(font);
  qprintSetPageHandler(PrintHeaderFooter);
  qprintSetHeader(PrintableText(settings.Header));
  qprintSetFooter(PrintableText(settings.Footer));
}

// Length of the line end at `text` (CR LF, or a lone CR or LF), 0 if none.
size_t LineEndLength(const char* text, size_t left) {
  if (text[0] == '\r') return left > 1 && text[1] == '\n' ? 2 : 1;
  return text[0] == '\n' ? 1 : 0;
}

// One printed line per paper line; text after the last line end is printed
// as a last line.
void PrintLines(const char* text, size_t length, int font, const PrintJobHost& host) {
  size_t at = 0;
  while (at < length) {
    size_t end = at;
    while (end < length && LineEndLength(text + end, length - end) == 0) ++end;
    if (end == at)
      qprintBlankLines(font, 1);
    else
      qprintText(font, std::string_view(text + at, end - at), QPRINT_LEFT, 0);
    at = end < length ? end + LineEndLength(text + end, length - end) : end;
    Pump(host);
  }
}

void PrintPaperCopy(std::string_view paper, int font, const PrintJobHost& host) {
  if (paper.empty()) {
    qprintText(font, EMPTY_PAPER_NOTICE, QPRINT_LEFT, 0);
    return;
  }
  char* copy = static_cast<char*>(hcheapAllocOrThrow(0, paper.size() + 1, __FILE__, __LINE__));
  std::memcpy(copy, paper.data(), paper.size());
  PrintLines(copy, paper.size(), font, host);
  hcheapFree(0, copy);
}

// The code point of the UTF-8 sequence at `text`, and its length; -1 for a
// byte that does not start a well-formed sequence (its length is then 1).
std::pair<long, size_t> DecodeUtf8(std::string_view text) {
  constexpr long SHORTEST[] = {0, 0, 0x80, 0x800, 0x10000};  // below these a sequence is overlong
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return {lead, 1};
  const size_t length = lead > 0xF4 ? 0 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || text.size() < length) return {-1, 1};
  long code = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return {-1, 1};
    code = (code << 6) | (next & 0x3F);
  }
  return {code < SHORTEST[length] ? -1 : code, length};
}

}  // namespace

std::string PrintableText(std::string_view utf8) {
  std::string printable;
  while (!utf8.empty()) {
    const auto [code, length] = DecodeUtf8(utf8);
    printable += code >= 0 && code <= 0xFF ? static_cast<char>(code) : '?';
    utf8.remove_prefix(length);
  }
  return printable;
}

int RunPrintJob(std::string_view paper, const Settings& settings, const PrintJobHost& host) {
  qprintBegin();
  SetHeaderFooterClock(host.clock);
  qprintSetDocName(PrintableText(settings.DocName));
  // Drawing on a printer that refused the document would print nothing.
  if (qprintStartDoc() != 0) {
    qprintEnd();
    return -1;
  }
  Pump(host);
  const int font = CreateJobFont(settings);
  SetUpPage(settings, font);
  qprintStartPage();
  Pump(host);
  PrintPaperCopy(paper, font, host);
  qprintEndPage();
  Pump(host);
  qprintEndDoc();
  qprintEnd();
  return 0;
}
