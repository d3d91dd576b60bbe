// Reads a PDF back with poppler's pdftotext: the words of every page with
// their boxes in points (-bbox); entities in words are left undecoded.
#pragma once

#include <string>
#include <vector>

struct PdfWord {
  double xMin, yMin, xMax, yMax;
  std::string text;
};

struct PdfPage {
  double width = 0, height = 0;
  std::vector<PdfWord> words;
  // The first word equal to `text`, or nullptr.
  const PdfWord* Find(const std::string& text) const;
};

std::vector<PdfPage> ReadPdfWords(const std::string& path);
// Runs a command and returns its standard output.
std::string CommandOutput(const std::string& command);
