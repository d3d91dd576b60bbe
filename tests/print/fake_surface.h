// A printer context for the layout tests: characters 10 units wide ("W" 20),
// lines 20 high; it records every text drawn with its page and position.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "print/print_surface.h"

struct DrawnText {
  int page, x, y;
  std::string text;
};

struct SurfaceLog {
  std::vector<DrawnText> texts;
  std::vector<std::string> fonts;  // "<face> <pixels> <weight>"
  int pages = 0, fontsDeleted = 0;
  bool ended = false, destroyed = false;
};

class FakeSurface : public PrintSurface {
 public:
  FakeSurface(SurfaceLog& log, int size, int dpi) : log_(log), size_(size), dpi_(dpi) {}
  ~FakeSurface() override { log_.destroyed = true; }
  TextExtent MeasureText(std::string_view text) const override {
    int cx = 0;
    for (char c : text) cx += c == 'W' ? 20 : 10;
    return {cx, 20};
  }
  bool StartDoc(std::string_view) override {
    if (onStartDoc) onStartDoc();
    return true;
  }
  int PageWidth() const override { return size_; }
  int PageHeight() const override { return size_; }
  int PixelsPerInchY() const override { return dpi_; }
  int32_t CreateFont(const FontRequest& r) override {
    log_.fonts.push_back(std::string(r.face) + " " + std::to_string(r.pixelHeight) + " " + std::to_string(r.weight));
    return static_cast<int32_t>(log_.fonts.size());
  }
  void SelectFont(int32_t) override {}
  void DeleteFont(int32_t) override { ++log_.fontsDeleted; }
  void TextOut(int x, int y, std::string_view text) override { log_.texts.push_back({log_.pages, x, y, std::string(text)}); }
  bool StartPage() override { return ++log_.pages > 0; }
  void EndPage() override {}
  void EndDoc() override { log_.ended = true; }

  std::function<void()> onStartDoc;  // looks at the job from inside it

 private:
  SurfaceLog& log_;
  int size_, dpi_;
};
