// pdftotext output parsing for the print tests.
#include "tests/print/pdf_text.h"

#include <cstdio>
#include <stdexcept>

namespace {

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// The number in attribute `name` of the tag that starts at `tag`.
double Attribute(const std::string& html, size_t tag, const std::string& name) {
  const size_t at = html.find(" " + name + "=\"", tag);
  return std::stod(html.substr(at + name.size() + 3));
}

}  // namespace

const PdfWord* PdfPage::Find(const std::string& text) const {
  for (const PdfWord& word : words)
    if (word.text == text) return &word;
  return nullptr;
}

std::string CommandOutput(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot run " + command);
  std::string output;
  char chunk[4096];
  for (size_t got; (got = fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, got);
  if (pclose(pipe) != 0) throw std::runtime_error("failed: " + command);
  return output;
}

std::vector<PdfPage> ReadPdfWords(const std::string& path) {
  const std::string html = CommandOutput(std::string(PDFTOTEXT) + " -bbox " + Quoted(path) + " -");
  std::vector<PdfPage> pages;
  for (size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
    if (html.compare(at, 6, "<page ") == 0) {
      pages.push_back({Attribute(html, at, "width"), Attribute(html, at, "height"), {}});
    } else if (html.compare(at, 6, "<word ") == 0 && !pages.empty()) {
      const size_t textStart = html.find('>', at) + 1;
      const size_t textEnd = html.find("</word>", textStart);
      pages.back().words.push_back({Attribute(html, at, "xMin"), Attribute(html, at, "yMin"), Attribute(html, at, "xMax"),
                                    Attribute(html, at, "yMax"), html.substr(textStart, textEnd - textStart)});
      at = textEnd;
    }
  }
  return pages;
}
