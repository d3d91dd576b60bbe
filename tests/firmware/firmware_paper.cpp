// Reads the firmware's printed blocks and runs seeded sweeps of calculations.
#include "firmware_paper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <future>

#include "firmware_harness.h"

namespace fwtest {

std::ostream& operator<<(std::ostream& out, const Line& l) {
  out << std::string(l.depth, ' ');
  if (l.sign == 'x') return out << l.amount << "x";
  return out << l.sign << l.amount << "/" << l.between << "/" << l.times;
}

namespace {

bool Digit(char c) { return c >= '0' && c <= '9'; }
bool Letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// "-a/r/n", "+a/r/n" or "a/r/n" as a schedule line, or "12x", each after
// the blanks of its depth.
std::optional<Line> ScheduleLine(const std::string& text) {
  Line line{' ', 0, 0, 0};
  size_t at = 0;
  while (at < 3 && at < text.size() && text[at] == ' ') ++at;
  line.depth = static_cast<int>(at);
  if (text.size() > at + 1 && text.back() == 'x' && std::all_of(text.begin() + at, text.end() - 1, Digit)) {
    line.sign = 'x';
    line.amount = std::stol(text.substr(at));
    return line;
  }
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) line.sign = text[at++];
  long* parts[] = {&line.amount, &line.between, &line.times};
  for (int part = 0; part < 3; ++part) {
    const size_t start = at;
    while (at < text.size() && Digit(text[at])) *parts[part] = *parts[part] * 10 + (text[at++] - '0');
    if (at == start) return std::nullopt;
    if (part < 2 && (at == text.size() || text[at++] != '/')) return std::nullopt;
  }
  return at == text.size() ? std::optional<Line>(line) : std::nullopt;
}

}  // namespace

Block Read(const std::vector<std::string>& text, const std::string& what) {
  Block block;
  block.text = text;
  for (const std::string& l : text) {
    EXPECT_LE(l.size(), 16u) << what << l;
    const auto line = ScheduleLine(l);
    for (size_t i = 1; i < l.size() && !(line && line->sign == 'x'); ++i) {
      EXPECT_FALSE((Digit(l[i - 1]) && Letter(l[i])) || (Letter(l[i - 1]) && Digit(l[i]))) << what << l;
    }
    if (line) {
      block.lines.push_back(*line);
    } else if (l.size() > 6 && l[5] == ' ' && Digit(l[4]) && Letter(l[6])) {
      const std::string number = l.substr(l.find_first_not_of(' '), 5 - l.find_first_not_of(' '));
      block.values[l.substr(6)] =
          number.find('.') == std::string::npos ? std::stol(number) : std::lround(std::stod(number) * 10);
    }
  }
  return block;
}

void RunSweep(const std::string& setup, const std::vector<Case>& cases) {
  constexpr size_t kChunk = 120;
  std::vector<std::future<RunResult>> runs;
  for (size_t from = 0; from < cases.size(); from += kChunk) {
    std::string keys = setup + " FN ";
    for (size_t i = from; i < std::min(cases.size(), from + kChunk); ++i) keys += cases[i].keys + " FM C ";
    runs.push_back(std::async(std::launch::async, [keys] { return RunKeys(keys, "--hold 2000"); }));
  }
  for (size_t chunk = 0; chunk < runs.size(); ++chunk) {
    const RunResult run = runs[chunk].get();
    ASSERT_EQ(run.status, 0) << run.errors;
    ASSERT_EQ(run.Field("stop"), "idle");
    const auto lines = run.Lines();
    size_t at = 0;
    for (size_t i = chunk * kChunk; i < std::min(cases.size(), (chunk + 1) * kChunk); ++i) {
      std::vector<std::string> block;
      while (at < lines.size() && !lines[at].empty()) block.push_back(lines[at++]);
      at += block.empty() ? 1 : 2;  // the block's own feed, then ours
      if (!cases[i].check) {
        EXPECT_TRUE(block.empty()) << cases[i].keys << " should give E";
      } else if (block.empty()) {
        ADD_FAILURE() << cases[i].keys << " gave E";
      } else {
        SCOPED_TRACE(cases[i].keys);
        cases[i].check(Read(block, ""));
      }
    }
  }
}

}  // namespace fwtest
