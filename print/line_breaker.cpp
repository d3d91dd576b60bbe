// Line breaking for the print module: grows a chunk character by character
// until it reaches the printable width, then looks back for a space to break
// after. The character that reaches the width stays on the upper line.
#include "print/line_breaker.h"

namespace {

// Length of the chunk starting at `text`: characters are added until the
// chunk is at least `width` wide or the text ends.
size_t GrowChunk(std::string_view text, int width, const TextMeasurer& measurer) {
  size_t length = 0;
  do {
    ++length;
  } while (length < text.size() && measurer.MeasureText(text.substr(0, length)).cx < width);
  return length;
}

// Where the printed part of a full chunk ends: after a trailing space, after
// the last space within reach of the end, or at the chunk's end (hard break).
size_t PrintedLength(std::string_view chunk) {
  if (chunk.back() == ' ') return chunk.size();
  const size_t space = chunk.rfind(' ');
  if (space != std::string_view::npos && chunk.size() - space <= WRAP_SPACE_REACH) return space + 1;
  return chunk.size();
}

}  // namespace

std::vector<std::string_view> BreakIntoLines(std::string_view text, int width,
                                             const TextMeasurer& measurer) {
  if (text.empty() || width <= 0 || measurer.MeasureText(text).cx <= width) return {text};
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t grown = GrowChunk(text, width, measurer);
    const size_t taken = grown == text.size() ? grown : PrintedLength(text.substr(0, grown));
    lines.push_back(text.substr(0, taken));
    text.remove_prefix(taken);
  }
  return lines;
}
