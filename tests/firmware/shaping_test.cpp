// The shaping functions (dividing, slanting line, curve line with its arc
// length, sleeve cap): the arc length key, and seeded sweeps checked against
// a model written here from the knitting rules. Sweeps run many calculations
// per runner start with PRINT on and read the printed blocks back. The worked
// examples and their stepping are the manual's (manual_test); the errors are
// in calc_test.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <ostream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "firmware_harness.h"

using namespace fwtest;

namespace {

// ---------------------------------------------------------------- helpers

std::string Count(long whole) { return Type(whole * 10); }
long Stitches(long cmTenths, const Gauge& g) { return RoundDiv(static_cast<long long>(cmTenths) * g.st, 1000); }
long Rows(long cmTenths, const Gauge& g) { return RoundDiv(static_cast<long long>(cmTenths) * g.rows, 1000); }

// One schedule line: 'V' every `value` stitches or rows, `times` times;
// 'A' `value` at each step, `times` times; 'P' `value` rows plain.
struct Step {
  char kind;
  long value;
  long times;
  bool operator==(const Step&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Step& s) { return out << s.kind << s.value << "x" << s.times; }

// The printed results of a block: schedule lines and the lettered values
// that come after the first `skip` lines (title, gauge, inputs).
struct Printed {
  std::vector<Step> steps;
  // The last value with each letter: whole, or in tenths when printed with
  // a decimal.
  std::map<char, long> values;
  long Value(char letter) const { return values.count(letter) ? values.at(letter) : -1; }
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
      const std::string text = number;
      const bool whole = text.find('.') == std::string::npos;
      printed.values[line[0]] = whole ? std::stol(text) : std::lround(std::stod(text) * 10);
    }
  }
  return printed;
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
  EXPECT_EQ(covered, places) << what << ::testing::PrintToString(steps);
  EXPECT_EQ(done, events) << what << ::testing::PrintToString(steps);
}

// ---------------------------------------------------------------- arc length

TEST(ArcLength, PEqualsGoesToTheLengthWithItsLamp) {
  const std::string g = GaugeKeys(kGauge22x30);
  const struct {
    std::string keys;
    const char* shown;
    const char* lamp;
  } cases[] = {
      {g + "FH 8 X 6 Y P=", " 11.0", "true"},
      {g + "FH 8 X 6 Y = = P=", " 11.0", "true"},
      {g + "FH 8 X 6 Y P= P=", " 11.0", "true"},
      {g + "FH 8 X 6 Y P= =", "  18", "false"},  // the lamp goes out with the next value
      {g + "FI 3 2 X 1 9 Y 1 0 Z P=", " 18.8", "true"},
      {"FE 6 0 R 8 Z P=", "  60", "false"},      // elsewhere P= is "="
  };
  for (const auto& c : cases) {
    const RunResult run = RunKeys(c.keys);
    EXPECT_EQ(run.Shown(), c.shown) << c.keys;
    EXPECT_EQ(run.Lamp("ARC LENGTH"), c.lamp) << c.keys;
  }
  // counts without a gauge give the steps, but a beep for the missing length
  const RunResult counts = RunKeys("FK FH 1 8 X 1 8 Y P=");
  EXPECT_EQ(counts.Shown(), "  18");
  EXPECT_EQ(counts.Number("beeps"), 2);
  EXPECT_EQ(ShownAfter("FK FH 1 8 X 1 8 Y = = ="), "   8");
}

// ---------------------------------------------------------------- sweeps

// Checks one printed block (split from the others at the empty line).
using Check = std::function<void(const std::vector<std::string>& block)>;

// Runs all calculations in one go with PRINT on; each block to its check.
void RunSweep(const std::string& keys, const std::vector<Check>& checks) {
  const RunResult run = RunKeys(keys);
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.Field("stop"), "idle");
  std::vector<std::vector<std::string>> blocks(1);
  for (const std::string& line : run.Lines()) {
    if (line.empty()) {
      blocks.push_back({});
    } else {
      blocks.back().push_back(line);
    }
  }
  blocks.pop_back();
  ASSERT_EQ(blocks.size(), checks.size());
  for (size_t i = 0; i < checks.size(); ++i) checks[i](blocks[i]);
}

long Draw(std::mt19937& random, long low, long high) { return std::uniform_int_distribution<long>(low, high)(random); }

const Gauge kSweepGauges[] = {{220, 300}, {185, 254}, {300, 415}, {125, 170}};

TEST(Sweep, DividingAgreesWithTheRules) {
  std::mt19937 random(2026);
  for (int form = 0; form < 2; ++form) {
    std::string keys = "FN ";
    std::vector<Check> checks;
    for (int i = 0; i < 120; ++i) {
      const long n = Draw(random, 1, 400);
      const long k = Draw(random, 1, i % 4 == 0 ? 3 * n : n);
      const char letter = i % 2 ? 'R' : 'S';
      keys += std::string(form ? "FF " : "FE ") + Count(n) + letter + " " + Count(k) + "Z = ";
      checks.push_back([=](const auto& block) {
        const std::string what = "n=" + std::to_string(n) + " k=" + std::to_string(k) + ": ";
        const Printed printed = Parse(block, 3);
        EXPECT_EQ(printed.steps, DivideModel(n, k, form == 1 && k <= n)) << what;
        ExpectAddsUp(printed.steps, n, k, what);
        EXPECT_EQ(printed.Value(letter), n) << what;
      });
    }
    RunSweep(keys, checks);
  }
}

TEST(Sweep, SlantingLineAgreesWithTheRules) {
  std::mt19937 random(650);
  for (const Gauge& g : kSweepGauges) {
    std::string keys = GaugeKeys(g) + "FN ";
    std::vector<Check> checks;
    bool modeLit = false;
    while (checks.size() < 50) {
      const long w1 = Draw(random, 50, 900), w2 = Draw(random, 50, 900), h = Draw(random, 20, 600);  // cm, tenths
      const bool perSide = checks.size() % 3 == 0;
      const long diff = std::labs(Stitches(w1, g) - Stitches(w2, g));
      const long d = perSide ? RoundDiv(diff, 2) : diff, rows = Rows(h, g);
      const auto model = SlantModel(d, rows);
      if (!model) continue;  // the errors have tests of their own
      if (perSide != modeLit) keys += "FJ ";
      modeLit = perSide;
      keys += "FG " + Type(w1) + "X " + Type(w2) + "Z " + Type(h) + "Y = ";
      checks.push_back([=](const auto& block) {
        const std::string what = std::to_string(w1) + " to " + std::to_string(w2) + " over " + std::to_string(h) +
                                 (perSide ? " per side: " : ": ");
        const Printed printed = Parse(block, perSide ? 6 : 5);
        EXPECT_EQ(printed.Value('S'), d) << what;
        EXPECT_EQ(printed.Value('R'), rows) << what;
        EXPECT_EQ(printed.steps, *model) << what;
        ExpectAddsUp(printed.steps, rows, d, what, 2);
      });
    }
    RunSweep(keys, checks);
  }
}

TEST(Sweep, CurveLineAgreesWithTheEllipse) {
  std::mt19937 random(1234);
  for (const Gauge& g : kSweepGauges) {
    std::string keys = GaugeKeys(g) + "FN ";
    std::vector<Check> checks;
    while (checks.size() < 40) {
      const long x = Draw(random, 10, 250), y = Draw(random, 10, 250);
      const long st = Stitches(x, g), rows = Rows(y, g);
      if (st < 1 || rows < 2) continue;
      const auto model = CurveModel(st, rows);
      if (4 + 2 * (model.size() - 1) + 1 > 72) continue;  // the listing holds 72 values
      keys += "FH " + Type(x) + "X " + Type(y) + "Y = ";
      checks.push_back([=](const auto& block) {
        const std::string what = std::to_string(x) + " x " + std::to_string(y) + ": ";
        const Printed printed = Parse(block, 4);
        EXPECT_EQ(printed.steps, model) << what;
        ExpectAddsUp(printed.steps, rows, st, what, 2);
        const double arc = ArcLength(x / 10.0, y / 10.0);
        EXPECT_NEAR(printed.Value('L') / 10.0, arc, 0.051 + arc * 0.0005) << what;
      });
    }
    RunSweep(keys, checks);
  }
}

TEST(Sweep, SleeveCapMatchesTheArmhole) {
  std::mt19937 random(77);
  for (const Gauge& g : kSweepGauges) {
    std::string keys = GaugeKeys(g) + "FN ";
    std::vector<Check> checks;
    while (checks.size() < 15) {
      const long arm = Draw(random, 200, 450), top = Draw(random, 40, 150), hole = Draw(random, 120, 260);
      if ((arm - top + 1) / 2 + 10 > hole) continue;
      keys += "FI " + Type(arm) + "X " + Type(hole) + "Y " + Type(top) + "Z = ";
      checks.push_back([=](const auto& block) {
        const std::string what = std::to_string(arm) + "/" + std::to_string(hole) + "/" + std::to_string(top) + ": ";
        const Printed printed = Parse(block, 5);
        const long height = printed.Value('H');
        // the height gives the armhole's length along a quarter ellipse
        EXPECT_NEAR(ArcLength(std::round((arm - top) / 2.0) / 10.0, height / 10.0), hole / 10.0, 0.12) << what;
        const long rows = Rows(height, g), armSt = Stitches(arm, g), topSt = Stitches(top, g);
        const long side = (armSt - topSt) / 2;
        EXPECT_EQ(printed.Value('R'), rows) << what;
        EXPECT_EQ(printed.Value('S'), side) << what;
        EXPECT_EQ(printed.Value('Z'), armSt - 2 * side) << what;
        EXPECT_EQ(printed.steps, CurveModel(side, rows)) << what;
        ExpectAddsUp(printed.steps, rows, side, what, 2);
        // the rounded schedule's own curve is the armhole's length within one
        // stitch or one row
        const double stitchCm = 100.0 / g.st, rowCm = 100.0 / g.rows;
        const double made = ArcLength(side * stitchCm, rows * rowCm);
        EXPECT_NEAR(made, hole / 10.0, std::max(stitchCm, rowCm)) << what;
        // worked from the counts in cm to 0.1, so within 0.1 cm or so
        EXPECT_NEAR(printed.Value('L') / 10.0, made, 0.12 + made * 0.0005) << what;
      });
    }
    RunSweep(keys, checks);
  }
}

// With M/T lit the same rules take stitches and rows as typed, no gauge.
TEST(Sweep, CountsTakeTheSameRules) {
  std::mt19937 random(31);
  std::string keys = "FK FN ";
  std::vector<Check> checks;
  while (checks.size() < 60) {
    const bool curve = checks.size() % 2 == 1;
    const long a = Draw(random, 1, 150), b = Draw(random, 1, 150), c = Draw(random, 2, 120);
    const std::string what = std::to_string(a) + "/" + std::to_string(b) + "/" + std::to_string(c) + ": ";
    if (curve) {
      const auto model = CurveModel(a, c);
      if (4 + 2 * (model.size() - 1) > 72) continue;
      keys += "FH " + Count(a) + "X " + Count(c) + "Y = ";
      checks.push_back([=](const auto& block) {
        const Printed printed = Parse(block, 3);
        EXPECT_EQ(printed.steps, model) << what;
        EXPECT_EQ(printed.Value('L'), -1) << what;  // no gauge: no arc length
      });
    } else {
      const auto model = SlantModel(std::labs(a - b), c);
      if (!model) continue;
      keys += "FG " + Count(a) + "X " + Count(b) + "Z " + Count(c) + "Y = ";
      checks.push_back([=](const auto& block) { EXPECT_EQ(Parse(block, 4).steps, *model) << what; });
    }
  }
  RunSweep(keys, checks);
}

}  // namespace
