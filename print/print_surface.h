// What the print module draws on: a printer context reduced to the calls the
// page layout needs. The real one sits on a QPrinter; tests use a fake that
// records what was printed, so the layout is checked without a printer.
#pragma once

#include <cstdint>
#include <string_view>

struct TextExtent {
  int cx = 0;  // width in device units
  int cy = 0;  // height of a line in device units
};

// Measures text in the currently selected font.
class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  virtual TextExtent MeasureText(std::string_view text) const = 0;
};

// A font as the module asks for it: the height is a character height in
// device pixels (the negative lfHeight of a LOGFONT, made positive).
struct FontRequest {
  std::string_view face;
  int pixelHeight = 0;
  int weight = 400;
};

class PrintSurface : public TextMeasurer {
 public:
  // Starts the document; false when the printer refuses.
  virtual bool StartDoc(std::string_view docName) = 0;
  virtual int PageWidth() const = 0;       // printable width, device units
  virtual int PageHeight() const = 0;      // printable height, device units
  virtual int PixelsPerInchY() const = 0;  // the printer's vertical resolution
  virtual int PixelsPerInchX() const { return PixelsPerInchY(); }  // horizontal; square dots by default
  // Returns a handle that is not 0, or 0 when the font cannot be made.
  virtual int32_t CreateFont(const FontRequest& request) = 0;
  virtual void SelectFont(int32_t handle) = 0;
  virtual void DeleteFont(int32_t handle) = 0;
  // Places `text` with its top-left corner at (x, y).
  virtual void TextOut(int x, int y, std::string_view text) = 0;
  virtual bool StartPage() = 0;
  virtual void EndPage() = 0;
  virtual void EndDoc() = 0;
};
