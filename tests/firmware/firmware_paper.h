// Reading the firmware's printed blocks back, and seeded sweeps that run many
// calculations per runner start with PRINT on and check each block.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace fwtest {

// One schedule line "-a/r/n": a stitches every r rows (or stitches), n times;
// or a repeat count "12x" (sign 'x', the count as the amount) over the lines
// below it printed a column further in. `depth`: the columns it stands in.
struct Line {
  char sign;  // '-', '+', ' ' for dividing, 'x' for a repeat count
  long amount, between, times;
  int depth = 0;
  bool operator==(const Line&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Line& l);

// A printed block: its lines, the values by label (in tenths when printed
// with a point) and the schedule.
struct Block {
  std::vector<std::string> text;
  std::map<std::string, long> values;
  std::vector<Line> lines;
  bool Has(const std::string& label) const { return values.count(label) > 0; }
  long Value(const std::string& label) const { return Has(label) ? values.at(label) : -1; }
};

// Reads a block and checks its layout: at most 16 columns, a digit never
// next to a letter, a value's number right-aligned in the first five
// columns and its label after a blank.
Block Read(const std::vector<std::string>& text, const std::string& what);

struct Case {
  std::string keys;                          // the function, its inputs and "="
  std::function<void(const Block&)> check;  // empty: E expected
};

// Runs the cases after `setup` with PRINT on, each followed by a paper feed
// and C, in several runners at once; an E leaves the feed's empty line alone.
void RunSweep(const std::string& setup, const std::vector<Case>& cases);

inline long Draw(std::mt19937& random, long low, long high) {
  return std::uniform_int_distribution<long>(low, high)(random);
}

}  // namespace fwtest
