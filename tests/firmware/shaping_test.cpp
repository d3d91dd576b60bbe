// The shaping functions (dividing, slanting line, curve line with its arc
// length, sleeve cap): worked examples key by key, the display stepping,
// the errors, and seeded sweeps checked against a model written here from
// the knitting rules. Sweeps run many calculations per runner start with
// PRINT on and read the printed blocks back.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "firmware_harness.h"

using namespace fwtest;

namespace {

// ---------------------------------------------------------------- helpers

// Keys that type a number given in tenths, e.g. 225 -> "2 2 . 5 ".
std::string Type(long tenths) {
  std::string keys;
  for (char c : std::to_string(tenths / 10)) keys += std::string(1, c) + " ";
  if (tenths % 10) keys += ". " + std::to_string(tenths % 10) + " ";
  return keys;
}
std::string Count(long whole) { return Type(whole * 10); }

// Nearest whole number of a / b, halves up (a >= 0, b > 0).
long RoundDiv(long long a, long long b) { return static_cast<long>((2 * a + b) / (2 * b)); }

struct Gauge {
  long st, rows;  // per 10 cm, in tenths
};
std::string GaugeKeys(const Gauge& g) { return "FA " + Type(g.st) + "S " + Type(g.rows) + "R = "; }
long Stitches(long cmTenths, const Gauge& g) { return RoundDiv(static_cast<long long>(cmTenths) * g.st, 1000); }
long Rows(long cmTenths, const Gauge& g) { return RoundDiv(static_cast<long long>(cmTenths) * g.rows, 1000); }

// One schedule line: 'V' every `value` stitches or rows, `times` times;
// 'A' `value` at each step, `times` times; 'P' `value` rows plain.
struct Step {
  char kind;
  long value;
  long times;
  bool operator==(const Step& o) const { return kind == o.kind && value == o.value && times == o.times; }
};

std::string Describe(const std::vector<Step>& steps) {
  std::string text;
  for (const Step& s : steps) {
    text += std::string(1, s.kind) + std::to_string(s.value);
    if (s.kind != 'P') text += "x" + std::to_string(s.times);
    text += " ";
  }
  return text;
}

// The printed results of a block: schedule lines and the lettered values
// that come after the first `skip` lines (title, gauge, inputs).
struct Printed {
  std::vector<Step> steps;
  std::vector<std::pair<char, std::string>> values;  // letter, number as printed
  // The last value with that letter: whole, or in tenths when printed with
  // a decimal.
  long Value(char letter) const {
    long found = -1;
    for (const auto& v : values) {
      if (v.first != letter) continue;
      found = v.second.find('.') == std::string::npos ? std::stol(v.second) : std::lround(std::stod(v.second) * 10);
    }
    return found;
  }
};

Printed Parse(const std::vector<std::string>& block, size_t skip) {
  Printed printed;
  for (size_t i = skip; i < block.size(); ++i) {
    const std::string& line = block[i];
    EXPECT_LE(line.size(), 16u) << line;
    if (line.rfind("EVERY", 0) == 0 || line.rfind("EACH", 0) == 0) {
      long a = 0, b = 0;
      EXPECT_EQ(std::sscanf(line.c_str() + 5, "%ld x %ld", &a, &b), 2) << line;
      printed.steps.push_back({line[1] == 'V' ? 'V' : 'A', a, b});
    } else if (line.rfind("PLAIN", 0) == 0) {
      printed.steps.push_back({'P', std::stol(line.substr(5)), 0});
    } else if (!line.empty()) {
      char number[16] = {};
      EXPECT_EQ(std::sscanf(line.c_str() + 1, "%15s", number), 1) << line;
      printed.values.push_back({line[0], number});
    }
  }
  return printed;
}

// Runs the keys and splits the paper into blocks at the empty lines.
std::vector<std::vector<std::string>> Blocks(const std::string& keys) {
  const RunResult run = RunFirmware("--keys '" + keys + "'");
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(Field(run.report, "stop"), "idle");
  std::vector<std::vector<std::string>> blocks(1);
  for (const std::string& line : Lines(run.paper)) {
    if (line.empty()) {
      blocks.push_back({});
    } else {
      blocks.back().push_back(line);
    }
  }
  blocks.pop_back();
  return blocks;
}

// What the display shows after the keys, and the report.
RunResult After(const std::string& keys) {
  RunResult run = RunFirmware("--keys '" + keys + "'");
  EXPECT_EQ(run.status, 0) << keys << run.errors;
  return run;
}

// ---------------------------------------------------------------- the model

// k events over n stitches or rows. The plain form leaves no stitch over:
// q = n div k, r = n mod k, (k - r) every q-th and r every (q+1)-th. The
// other form works every q-th k times and leaves r plain. More events than
// places: each place takes k div n, r of them one more.
std::vector<Step> DivideModel(long n, long k, bool plainAfter) {
  std::vector<Step> steps;
  if (k > n) {
    const long q = k / n, r = k % n;
    steps.push_back({'A', q, n - r});
    if (r) steps.push_back({'A', q + 1, r});
    return steps;
  }
  const long q = n / k, r = n % k;
  if (plainAfter) return {{'V', q, k}, {'P', r, 0}};
  steps.push_back({'V', q, k - r});
  if (r) steps.push_back({'V', q + 1, r});
  return steps;
}

// A slant of d stitches over h rows, shaped at the start of two-row steps;
// an odd last row stays plain. Steeper than one stitch per step, a step
// takes several stitches, at most 6.
std::optional<std::vector<Step>> SlantModel(long d, long h) {
  const long steps = h / 2;
  if (d <= 0 || steps <= 0) return std::nullopt;
  std::vector<Step> out;
  if (d <= steps) {
    // d shapings spread over `steps` two-row steps: the gaps in rows are
    // two q or two (q + 1)
    const long q = steps / d, r = steps % d;
    out.push_back({'V', 2 * q, d - r});
    if (r) out.push_back({'V', 2 * q + 2, r});
  } else {
    const long q = d / steps, r = d % steps;
    if (q + (r ? 1 : 0) > 6) return std::nullopt;
    out.push_back({'A', q, steps - r});
    if (r) out.push_back({'A', q + 1, r});
  }
  out.push_back({'P', h % 2, 0});
  return out;
}

// A quarter ellipse x stitches wide and `rows` high, shaped every two rows:
// after step i of m the staircase has cast off the ellipse's own width at
// that height, x sqrt(1 - ((m - i) / m)^2), to the nearest stitch. While
// steps of two or more are still to come, equal neighbouring steps make one
// "EACH" line; after that the single stitches are told by the rows between
// them ("EVERY"), and the empty steps at the end are plain rows.
std::vector<Step> CurveModel(long x, long rows) {
  const long m = rows / 2;
  std::vector<long> steps;
  long before = 0;
  for (long i = 1; i <= m; ++i) {
    const double t = static_cast<double>(m - i) / m;
    const long now = static_cast<long>(std::floor(x * std::sqrt(1.0 - t * t) + 0.5));
    steps.push_back(now - before);
    before = now;
  }
  size_t lastLarge = 0;  // steps before this index are listed one by one
  for (size_t i = 0; i < steps.size(); ++i) {
    if (steps[i] >= 2) lastLarge = i + 1;
  }
  std::vector<Step> out;
  auto add = [&out](char kind, long value) {
    if (!out.empty() && out.back().kind == kind && out.back().value == value) {
      ++out.back().times;
    } else {
      out.push_back({kind, value, 1});
    }
  };
  long empty = 0;
  for (size_t i = 0; i < steps.size(); ++i) {
    if (i < lastLarge) {
      add('A', steps[i]);
    } else if (steps[i] == 0) {
      ++empty;
    } else {
      add('V', 2 * (empty + 1));
      empty = 0;
    }
  }
  out.push_back({'P', 2 * empty + rows % 2, 0});
  return out;
}

// Arc length of a quarter ellipse with half-axes a and b, by Simpson's rule
// on the parametric form.
double ArcLength(double a, double b) {
  const int n = 4000;
  const double h = (M_PI / 2) / n;
  double sum = 0;
  for (int i = 0; i <= n; ++i) {
    const double t = i * h;
    const double f = std::sqrt(a * a * std::sin(t) * std::sin(t) + b * b * std::cos(t) * std::cos(t));
    sum += f * (i == 0 || i == n ? 1 : i % 2 ? 4 : 2);
  }
  return sum * h / 3;
}

// The totals of a schedule: places (stitches or rows) covered and events.
// A step of several ("EACH") spans `span` places: two rows for the two-row
// steps of slants and curves.
void ExpectAddsUp(const std::vector<Step>& steps, long places, long events, const std::string& what,
                  long span = 1) {
  long covered = 0, done = 0;
  for (const Step& s : steps) {
    if (s.kind == 'V') {
      covered += s.value * s.times;
      done += s.times;
    } else if (s.kind == 'A') {
      covered += span * s.times;
      done += s.value * s.times;
    } else {
      covered += s.value;
    }
  }
  EXPECT_EQ(covered, places) << what << Describe(steps);
  EXPECT_EQ(done, events) << what << Describe(steps);
}

// ---------------------------------------------------------------- worked examples

struct Example {
  const char* keys;               // after the gauge 22 x 30
  std::vector<std::string> lines;  // the printed block
};

const Example kExamples[] = {
    {"FE 6 0 R 8 Z =",
     {"DIVIDING", "G 22.0x30.0", "R     60 ROWS", "Z      8 TIMES", "R     60 ROWS", "EVERY   7 x   4",
      "EVERY   8 x   4"}},
    {"FF 6 0 R 8 Z =",
     {"DIVIDING, PLAIN", "G 22.0x30.0", "R     60 ROWS", "Z      8 TIMES", "R     60 ROWS", "EVERY   7 x   8",
      "PLAIN   4 ROWS"}},
    {"FE 5 S 1 2 Z =",
     {"DIVIDING", "G 22.0x30.0", "S      5 ST", "Z     12 TIMES", "S      5 ST", "EACH    2 x   3",
      "EACH    3 x   2"}},
    {"FE 5 0 X 1 2 Z =",
     {"DIVIDING", "G 22.0x30.0", "X   50.0 cm", "Z     12 TIMES", "S    110 ST", "EVERY   9 x  10",
      "EVERY  10 x   2"}},
    {"FG 3 0 X 4 0 Z 2 0 Y =",
     {"SLANTING LINE", "G 22.0x30.0", "X   30.0 cm", "Y   20.0 cm", "Z   40.0 cm", "S     22 ST", "R     60 ROWS",
      "EVERY   2 x  14", "EVERY   4 x   8", "PLAIN   0 ROWS"}},
    {"FJ FG 3 0 X 4 0 Z 2 0 Y =",
     {"SLANTING LINE", "PER SIDE", "G 22.0x30.0", "X   30.0 cm", "Y   20.0 cm", "Z   40.0 cm", "S     11 ST",
      "R     60 ROWS", "EVERY   4 x   3", "EVERY   6 x   8", "PLAIN   0 ROWS"}},
    {"FK FG 6 0 X 4 4 Z 2 5 Y =",
     {"SLANTING LINE", "G 22.0x30.0", "X     60 ST", "Y     25 ROWS", "Z     44 ST", "S     16 ST",
      "R     25 ROWS", "EACH    1 x   8", "EACH    2 x   4", "PLAIN   1 ROWS"}},
    {"FH 8 X 6 Y =",
     {"CURVE LINE", "G 22.0x30.0", "X    8.0 cm", "Y    6.0 cm", "S     18 ST", "R     18 ROWS", "EACH    8 x   1",
      "EACH    3 x   1", "EACH    2 x   2", "EVERY   2 x   3", "PLAIN   4 ROWS", "L   11.0 cm"}},
    {"FI 3 2 X 1 9 Y 1 0 Z =",
     {"SLEEVE CAP",      "G 22.0x30.0",     "X   32.0 cm",     "Y   19.0 cm",     "Z   10.0 cm",
      "H   13.1 cm",     "R     39 ROWS",   "S     24 ST",     "EACH    8 x   1", "EACH    3 x   1",
      "EACH    2 x   2", "EACH    1 x   1", "EACH    2 x   1", "EVERY   2 x   2", "EVERY   4 x   1",
      "EVERY   2 x   1", "EVERY   4 x   1", "EVERY   6 x   1", "PLAIN   7 ROWS",  "Z     22 ST",
      "L   18.8 cm"}},
};

class WorkedExample : public ::testing::TestWithParam<Example> {};

TEST_P(WorkedExample, PrintsItsBlock) {
  const auto blocks = Blocks(GaugeKeys({220, 300}) + "FN " + GetParam().keys);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0], GetParam().lines);
}

TEST_P(WorkedExample, PrintsTheSameUnpatched) {
  const RunResult run =
      RunFirmware("--unpatched --keys '" + GaugeKeys({220, 300}) + "FN " + GetParam().keys + "'");
  EXPECT_EQ(Field(run.report, "stop"), "idle");
  auto lines = GetParam().lines;
  lines.push_back("");
  EXPECT_EQ(Lines(run.paper), lines);
}

INSTANTIATE_TEST_SUITE_P(Shaping, WorkedExample, ::testing::ValuesIn(kExamples));

// "=" steps through the values in the printed order, then starts again.
TEST(Stepping, EqualsShowsEachValueInTurn) {
  struct Case {
    const char* keys;
    std::vector<const char*> shown;
  };
  const Case cases[] = {
      {"FE 6 0 R 8 Z", {"  60", "   7", "   4", "   8", "   4", "  60"}},
      {"FF 6 0 R 8 Z", {"  60", "   7", "   8", "   4"}},
      {"FG 3 0 X 4 0 Z 2 0 Y", {"  22", "  60", "   2", "  14", "   4", "   8", "   0", "  22"}},
      {"FH 8 X 6 Y", {"  18", "  18", "   8", "   1", "   3", "   1", "   2", "   2", "   2", "   3", "   4", " 11.0",
                      "  18"}},
  };
  for (const Case& c : cases) {
    std::string keys = GaugeKeys({220, 300}) + c.keys;
    for (const char* expected : c.shown) {
      keys += " =";
      EXPECT_EQ(Field(After(keys).report, "shown"), expected) << keys;
    }
  }
}

TEST(ArcLength, PEqualsGoesToTheLengthWithItsLamp) {
  for (const char* keys : {"FH 8 X 6 Y P=", "FH 8 X 6 Y = = P=", "FH 8 X 6 Y P= P="}) {
    const RunResult run = After(GaugeKeys({220, 300}) + keys);
    EXPECT_EQ(Field(run.report, "shown"), " 11.0") << keys;
    EXPECT_EQ(Inner(run.report, "lamps", "ARC LENGTH"), "true") << keys;
  }
  // the lamp goes out with the next value, and the sleeve cap has one too
  EXPECT_EQ(Inner(After(GaugeKeys({220, 300}) + "FH 8 X 6 Y P= =").report, "lamps", "ARC LENGTH"), "false");
  EXPECT_EQ(Field(After(GaugeKeys({220, 300}) + "FI 3 2 X 1 9 Y 1 0 Z P=").report, "shown"), " 18.8");
  // elsewhere P= is "=" and the lamp stays dark
  const RunResult divide = After("FE 6 0 R 8 Z P=");
  EXPECT_EQ(Field(divide.report, "shown"), "  60");
  EXPECT_EQ(Inner(divide.report, "lamps", "ARC LENGTH"), "false");
}

TEST(ArcLength, CountsWithoutAGaugeGiveTheStepsButNoLength) {
  const RunResult run = After("FK FH 1 8 X 1 8 Y P=");
  EXPECT_EQ(Field(run.report, "shown"), "  18");      // worked out, first value shown
  EXPECT_EQ(Number(run.report, "beeps"), 2);          // and a beep for the missing length
  EXPECT_EQ(Field(After("FK FH 1 8 X 1 8 Y = = =").report, "shown"), "   8");
}

// ---------------------------------------------------------------- errors

TEST(Errors, NoSolutionShowsEAndBeeps) {
  const std::string g = GaugeKeys({220, 300});
  const char* cases[] = {
      "FE 0 Z 5 S =",                  // k = 0
      "FE 5 Z =",                      // nothing to spread over
      "FE 5 Z 5 S 5 R =",              // two places at once
      "FE 5 S =",                      // no k
      "FG 1 X 3 0 Z 1 Y =",            // 29 cm over 1 cm: too steep for a step
      "FG 3 0 X 3 0 Z 1 0 Y =",        // nothing to shape
      "FG 3 0 X 4 0 Z . 3 Y =",        // one row only: no two-row step
      "FH 8 X =",                      // no height
      "FH 8 X . 3 Y =",                // no step
      "FH 1 5 0 X 9 0 Y =",            // over 200 cm round: no arc length
      "FH 0 X 6 Y =",                  // no width
      "FI 3 2 X 5 Y 1 0 Z =",          // armhole shorter than the width to lose
      "FI 1 0 X 1 9 Y 3 2 Z =",        // top wider than the arm
      "FI 3 2 X 1 9 Y =",              // no top
  };
  for (const char* keys : cases) {
    const RunResult run = After(g + keys);
    EXPECT_EQ(Field(run.report, "shown"), "   E") << keys;
    EXPECT_EQ(Number(run.report, "beeps"), 2) << keys;
    EXPECT_EQ(Field(After(g + keys + " C").report, "shown"), "   0") << keys;
  }
  // without a gauge, lengths cannot be worked; the GAUGE lamp says so
  for (const char* keys : {"FG 3 0 X 4 0 Z 2 0 Y =", "FH 8 X 6 Y =", "FI 3 2 X 1 9 Y 1 0 Z =", "FE 5 0 X 8 Z ="}) {
    EXPECT_EQ(Field(After(keys).report, "shown"), "   E") << keys;
  }
  EXPECT_EQ(Inner(After("FG").report, "lamps", "GAUGE"), "true");
  EXPECT_EQ(Inner(After("FK FG").report, "lamps", "GAUGE"), "false");
  EXPECT_EQ(Inner(After("FI").report, "lamps", "GAUGE"), "true");
  EXPECT_EQ(Inner(After("FE").report, "lamps", "GAUGE"), "false");
}

TEST(Errors, LettersAFunctionDoesNotTake) {
  const char* cases[] = {"FG 5 S", "FH 5 Z", "FH 5 R", "FI 5 S"};
  for (const char* keys : cases) EXPECT_EQ(Field(After(keys).report, "shown"), "   E") << keys;
  for (const char* keys : {"FE 5 S", "FE 5 Z", "FG 5 Z", "FI 5 Y"}) {  // taken: the entry stays on show
    const RunResult run = After(keys);
    EXPECT_EQ(Field(run.report, "shown"), "   5") << keys;
    EXPECT_EQ(Number(run.report, "beeps"), 1) << keys;
  }
}

// ---------------------------------------------------------------- sweeps

const Gauge kSweepGauges[] = {{220, 300}, {185, 254}, {300, 415}, {125, 170}};

TEST(Sweep, DividingAgreesWithTheRules) {
  std::mt19937 random(2026);
  for (int form = 0; form < 2; ++form) {
    std::string keys = "FN ";
    std::vector<std::pair<long, long>> cases;
    for (int i = 0; i < 120; ++i) {
      const long n = std::uniform_int_distribution<long>(1, 400)(random);
      const long k = std::uniform_int_distribution<long>(1, i % 4 == 0 ? 3 * n : n)(random);
      cases.push_back({n, k});
      keys += std::string(form ? "FF " : "FE ") + Count(n) + (i % 2 ? "R " : "S ") + Count(k) + "Z = ";
    }
    const auto blocks = Blocks(keys);
    ASSERT_EQ(blocks.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
      const auto [n, k] = cases[i];
      const std::string what = "n=" + std::to_string(n) + " k=" + std::to_string(k) + ": ";
      const Printed printed = Parse(blocks[i], 3);
      EXPECT_EQ(printed.steps, DivideModel(n, k, form == 1 && k <= n)) << what << Describe(printed.steps);
      ExpectAddsUp(printed.steps, n, k, what);
      EXPECT_EQ(printed.Value(i % 2 ? 'R' : 'S'), n) << what;
    }
  }
}

TEST(Sweep, SlantingLineAgreesWithTheRules) {
  std::mt19937 random(650);
  for (const Gauge& g : kSweepGauges) {
    std::string keys = GaugeKeys(g) + "FN ";
    struct Case {
      long w1, w2, h;
      bool perSide;
      std::vector<Step> expected;
      long d, rows;
    };
    std::vector<Case> cases;
    bool modeLit = false;
    while (cases.size() < 50) {
      Case c{};
      c.w1 = std::uniform_int_distribution<long>(50, 900)(random);   // tenths of cm
      c.w2 = std::uniform_int_distribution<long>(50, 900)(random);
      c.h = std::uniform_int_distribution<long>(20, 600)(random);
      c.perSide = cases.size() % 3 == 0;
      const long diff = std::labs(Stitches(c.w1, g) - Stitches(c.w2, g));
      c.d = c.perSide ? RoundDiv(diff, 2) : diff;
      c.rows = Rows(c.h, g);
      const auto model = SlantModel(c.d, c.rows);
      if (!model) continue;  // the errors have tests of their own
      c.expected = *model;
      if (c.perSide != modeLit) keys += "FJ ";
      modeLit = c.perSide;
      keys += "FG " + Type(c.w1) + "X " + Type(c.w2) + "Z " + Type(c.h) + "Y = ";
      cases.push_back(c);
    }
    const auto blocks = Blocks(keys);
    ASSERT_EQ(blocks.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
      const Case& c = cases[i];
      const std::string what = std::to_string(c.w1) + " to " + std::to_string(c.w2) + " over " +
                               std::to_string(c.h) + (c.perSide ? " per side: " : ": ");
      const Printed printed = Parse(blocks[i], c.perSide ? 6 : 5);
      EXPECT_EQ(printed.Value('S'), c.d) << what;
      EXPECT_EQ(printed.Value('R'), c.rows) << what;
      EXPECT_EQ(printed.steps, c.expected) << what << Describe(printed.steps);
      ExpectAddsUp(printed.steps, c.rows, c.d, what, 2);
      // as even as can be: the two gaps (or step sizes) differ by one step
      if (printed.steps.size() == 3) {
        EXPECT_EQ(printed.steps[1].value - printed.steps[0].value, printed.steps[0].kind == 'V' ? 2 : 1) << what;
      }
    }
  }
}

TEST(Sweep, CurveLineAgreesWithTheEllipse) {
  std::mt19937 random(1234);
  for (const Gauge& g : kSweepGauges) {
    std::string keys = GaugeKeys(g) + "FN ";
    struct Case {
      long x, y;
      std::vector<Step> expected;
    };
    std::vector<Case> cases;
    while (cases.size() < 40) {
      Case c{};
      c.x = std::uniform_int_distribution<long>(10, 250)(random);
      c.y = std::uniform_int_distribution<long>(10, 250)(random);
      const long st = Stitches(c.x, g), rows = Rows(c.y, g);
      if (st < 1 || rows < 2) continue;
      c.expected = CurveModel(st, rows);
      if (4 + 2 * (c.expected.size() - 1) + 1 > 72) continue;  // the listing holds 72 values
      keys += "FH " + Type(c.x) + "X " + Type(c.y) + "Y = ";
      cases.push_back(c);
    }
    const auto blocks = Blocks(keys);
    ASSERT_EQ(blocks.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
      const Case& c = cases[i];
      const std::string what = std::to_string(c.x) + " x " + std::to_string(c.y) + ": ";
      const Printed printed = Parse(blocks[i], 4);
      const long st = Stitches(c.x, g), rows = Rows(c.y, g);
      EXPECT_EQ(printed.steps, c.expected) << what << Describe(printed.steps);
      ExpectAddsUp(printed.steps, rows, st, what, 2);
      for (const Step& s : printed.steps) {  // the first step is the largest
        if (s.kind == 'A') {
          EXPECT_GE(printed.steps[0].value, s.value) << what;
        }
      }
      const double arc = ArcLength(c.x / 10.0, c.y / 10.0);
      EXPECT_NEAR(printed.Value('L') / 10.0, arc, 0.051 + arc * 0.0005) << what;
    }
  }
}

TEST(Sweep, SleeveCapMatchesTheArmhole) {
  std::mt19937 random(77);
  for (const Gauge& g : kSweepGauges) {
    std::string keys = GaugeKeys(g) + "FN ";
    struct Case {
      long arm, top, hole;
    };
    std::vector<Case> cases;
    while (cases.size() < 15) {
      Case c{};
      c.arm = std::uniform_int_distribution<long>(200, 450)(random);
      c.top = std::uniform_int_distribution<long>(40, 150)(random);
      c.hole = std::uniform_int_distribution<long>(120, 260)(random);
      if ((c.arm - c.top + 1) / 2 + 10 > c.hole) continue;
      keys += "FI " + Type(c.arm) + "X " + Type(c.hole) + "Y " + Type(c.top) + "Z = ";
      cases.push_back(c);
    }
    const auto blocks = Blocks(keys);
    ASSERT_EQ(blocks.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
      const Case& c = cases[i];
      const std::string what = std::to_string(c.arm) + "/" + std::to_string(c.hole) + "/" +
                               std::to_string(c.top) + ": ";
      const Printed printed = Parse(blocks[i], 5);
      const long height = printed.Value('H');
      // the height gives the armhole's length along a quarter ellipse
      const double w = std::round((c.arm - c.top) / 2.0) / 10.0;
      EXPECT_NEAR(ArcLength(w, height / 10.0), c.hole / 10.0, 0.12) << what;
      const long rows = Rows(height, g), arm = Stitches(c.arm, g), top = Stitches(c.top, g);
      const long side = (arm - top) / 2;
      EXPECT_EQ(printed.Value('R'), rows) << what;
      EXPECT_EQ(printed.Value('S'), side) << what;
      EXPECT_EQ(printed.Value('Z'), arm - 2 * side) << what;
      EXPECT_EQ(printed.steps, CurveModel(side, rows)) << what << Describe(printed.steps);
      ExpectAddsUp(printed.steps, rows, side, what, 2);
      // the rounded schedule's own curve is the armhole's length within one
      // stitch or one row
      const double stitchCm = 100.0 / g.st, rowCm = 100.0 / g.rows;
      const double made = ArcLength(side * stitchCm, rows * rowCm);
      EXPECT_NEAR(made, c.hole / 10.0, std::max(stitchCm, rowCm)) << what;
      // worked from the counts in cm to 0.1, so within 0.1 cm or so
      EXPECT_NEAR(printed.Value('L') / 10.0, made, 0.12 + made * 0.0005) << what;
    }
  }
}

// With M/T lit the same rules take stitches and rows as typed, no gauge.
TEST(Sweep, CountsTakeTheSameRules) {
  std::mt19937 random(31);
  std::string keys = "FK FN ";
  struct Case {
    bool curve;
    long a, b, c;
  };
  std::vector<Case> cases;
  while (cases.size() < 60) {
    Case c{cases.size() % 2 == 1, std::uniform_int_distribution<long>(1, 150)(random),
           std::uniform_int_distribution<long>(1, 150)(random), std::uniform_int_distribution<long>(2, 120)(random)};
    if (c.curve) {
      const auto model = CurveModel(c.a, c.c);
      if (4 + 2 * (model.size() - 1) > 72) continue;
      keys += "FH " + Count(c.a) + "X " + Count(c.c) + "Y = ";
    } else {
      if (!SlantModel(std::labs(c.a - c.b), c.c)) continue;
      keys += "FG " + Count(c.a) + "X " + Count(c.b) + "Z " + Count(c.c) + "Y = ";
    }
    cases.push_back(c);
  }
  const auto blocks = Blocks(keys);
  ASSERT_EQ(blocks.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    const std::string what = std::to_string(c.a) + "/" + std::to_string(c.b) + "/" + std::to_string(c.c) + ": ";
    if (c.curve) {
      const Printed printed = Parse(blocks[i], 3);
      EXPECT_EQ(printed.steps, CurveModel(c.a, c.c)) << what << Describe(printed.steps);
      EXPECT_EQ(printed.Value('L'), -1) << what;  // no gauge: no arc length
    } else {
      const Printed printed = Parse(blocks[i], 4);
      EXPECT_EQ(printed.steps, *SlantModel(std::labs(c.a - c.b), c.c)) << what << Describe(printed.steps);
    }
  }
}

// The whole result sequence can be read off the display as well as the
// paper: a handful of random dividings stepped through with "=".
TEST(Sweep, DisplayStepsMatchThePrint) {
  std::mt19937 random(9);
  for (int i = 0; i < 4; ++i) {
    const long n = std::uniform_int_distribution<long>(1, 200)(random);
    const long k = std::uniform_int_distribution<long>(1, 2 * n)(random);
    const std::string keys = "FE " + Count(n) + "S " + Count(k) + "Z";
    std::vector<long> values = {n};
    for (const Step& s : DivideModel(n, k, false)) {
      values.push_back(s.value);
      values.push_back(s.times);
    }
    std::string pressed = keys;
    for (long v : values) {
      pressed += " =";
      char text[8];
      std::snprintf(text, sizeof text, "%4ld", v);
      EXPECT_EQ(Field(After(pressed).report, "shown"), text) << pressed;
    }
  }
}

}  // namespace
