// The shaping functions against a model written here from the knitting
// rules: dividing and slanting schedules, curve and sleeve-cap staircases
// that never grow and keep as close to the ellipse as such a staircase can,
// arc lengths and cap heights exact to the nearest 0.1 cm, and the printed
// layout. Seeded sweeps of a few thousand inputs run many calculations per
// runner start with PRINT on and read the printed blocks back.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "firmware_harness.h"
#include "firmware_paper.h"

using namespace fwtest;

namespace {

// ---------------------------------------------------------------- the model


// k events over n places: q = n div k, r = n mod k; (k - r) every q-th and
// r every (q + 1)-th, or all k every q-th and r plain. More events than
// places: each takes k div n, r of them one more.
std::vector<Line> DivideModel(long n, long k, bool plainAfter, long* plain) {
  *plain = 0;
  if (k > n) {
    const long q = k / n, r = k % n;
    std::vector<Line> lines = {{' ', q, 1, n - r}};
    if (r) lines.push_back({' ', q + 1, 1, r});
    return lines;
  }
  const long q = n / k, r = n % k;
  if (plainAfter) {
    *plain = r;
    return {{' ', 1, q, k}};
  }
  std::vector<Line> lines = {{' ', 1, q, k - r}};
  if (r) lines.push_back({' ', 1, q + 1, r});
  return lines;
}

// d stitches over `rows`, shaped at the start of two-row steps, an odd row
// plain. A stitch every 2q or 2q + 2 rows; steeper, q or q + 1 stitches a
// step (the larger first, at most 6).
std::optional<std::vector<Line>> SlantModel(long d, long rows, char sign) {
  const long steps = rows / 2;
  if (d <= 0 || steps <= 0) return std::nullopt;
  std::vector<Line> lines;
  if (d <= steps) {
    const long q = steps / d, r = steps % d;
    lines.push_back({sign, 1, 2 * q, d - r});
    if (r) lines.push_back({sign, 1, 2 * q + 2, r});
  } else {
    const long q = d / steps, r = d % steps;
    if (q + (r ? 1 : 0) > 6) return std::nullopt;
    if (r) lines.push_back({sign, q + 1, 2, r});
    lines.push_back({sign, q, 2, steps - r});
  }
  return lines;
}

// The ellipse after step i of m: x sqrt(1 - ((m - i) / m)^2).
double Ellipse(long x, long m, long i) {
  const double t = static_cast<double>(m - i) / m;
  return x * std::sqrt(1.0 - t * t);
}

// The smallest deviation (to 1/256 of a stitch) that a staircase keeps from
// the ellipse at every step when the stitches cast off at a shaping never
// grow (empty steps between may come anywhere): all staircases are searched,
// keeping for each count reached the largest last shaping.
double BestDeviation(long x, long m) {
  auto feasible = [x, m](double d) {
    std::map<long, long> reach = {{0, LONG_MAX}};
    for (long i = 1; i <= m; ++i) {
      const double e = Ellipse(x, m, i);
      const long lo = i == m ? x : std::max(0L, static_cast<long>(std::ceil(e - d - 1e-9)));
      const long hi = i == m ? x : std::min(x, static_cast<long>(std::floor(e + d + 1e-9)));
      std::map<long, long> next;
      for (const auto& [c, last] : reach) {
        if (c >= lo && c <= hi) next[c] = std::max(next[c], last);
        for (long s = std::max(1L, lo - c); s <= std::min(last, hi - c); ++s) next[c + s] = std::max(next[c + s], s);
      }
      if (next.empty()) return false;
      reach.swap(next);
    }
    return true;
  };
  long low = 0, high = 4 * 256;
  while (low < high) {
    const long mid = (low + high) / 2;
    if (feasible(mid / 256.0)) {
      high = mid;
    } else {
      low = mid + 1;
    }
  }
  return low / 256.0;
}

// Checks a printed staircase of x stitches over `rows`: never growing, adding
// up, and as close to the ellipse as the model's best (to a sixteenth).
void ExpectStaircase(const Block& block, long x, long rows) {
  std::vector<long> steps;
  long last = LONG_MAX, stitches = 0, covered = 0;
  for (const Line& l : block.lines) {
    EXPECT_EQ(l.sign, '-');
    EXPECT_LE(l.amount, last) << "a shaping grows: " << ::testing::PrintToString(block.lines);
    last = l.amount;
    EXPECT_EQ(l.between % 2, 0);
    for (long t = 0; t < l.times; ++t) {
      steps.insert(steps.end(), l.between / 2 - 1, 0);
      steps.push_back(l.amount);
    }
    stitches += l.amount * l.times;
    covered += l.between * l.times;
  }
  const long plain = std::max(0L, block.Value("ROWS PLAIN")) + std::max(0L, block.Value("ROW PLAIN"));
  EXPECT_EQ(stitches, x);
  EXPECT_EQ(covered + plain, rows);
  const long m = rows / 2;
  steps.resize(static_cast<size_t>(m), 0);
  double worst = 0;
  long c = 0;
  for (long i = 1; i <= m; ++i) {
    c += steps[static_cast<size_t>(i - 1)];
    worst = std::max(worst, std::fabs(c - Ellipse(x, m, i)));
  }
  const double best = BestDeviation(x, m);
  EXPECT_LE(worst, std::max(1.0, best) + 1.0 / 16 + 1e-6) << " best " << best;
}

// Arc length of a quarter ellipse with half-axes a and b, by Simpson's rule
// on the parametric form (far closer than 0.001 cm).
double ArcLength(double a, double b) {
  const int n = 2000;
  const double h = (std::numbers::pi / 2) / n;
  double sum = 0;
  for (int i = 0; i <= n; ++i) {
    const double t = i * h;
    const double f = std::sqrt(a * a * std::sin(t) * std::sin(t) + b * b * std::cos(t) * std::cos(t));
    sum += f * (i == 0 || i == n ? 1 : i % 2 ? 4 : 2);
  }
  return sum * h / 3;
}

// A length printed in tenths is `exact` cm to the nearest 0.1 (halves up);
// within 0.001 cm of a half, either neighbour.
void ExpectNearestTenth(long printed, double exact) {
  const double tenths = exact * 10;
  if (std::fabs(tenths - std::floor(tenths) - 0.5) < 0.01) {
    EXPECT_TRUE(printed == std::lround(std::floor(tenths)) || printed == std::lround(std::ceil(tenths)))
        << printed << " for " << exact;
  } else {
    EXPECT_EQ(printed, std::lround(std::floor(tenths + 0.5))) << "exact " << exact;
  }
}

// The cap height at which a quarter ellipse w wide is `armhole` long.
double CapHeight(double w, double armhole) {
  double low = 0, high = armhole;
  for (int i = 0; i < 40; ++i) {
    const double mid = (low + high) / 2;
    (ArcLength(w, mid) < armhole ? low : high) = mid;
  }
  return low;
}

// ---------------------------------------------------------------- sweeps

std::string Count(long whole) { return Type(whole * 10); }

const Gauge kSweepGauges[] = {{220, 300}, {185, 254}, {300, 415}, {125, 170}, {264, 351}};

TEST(Sweep, DividingAgreesWithTheRules) {
  std::mt19937 random(2026);
  for (const Gauge& g : kSweepGauges) {
    std::vector<Case> cases;
    for (int i = 0; i < 140; ++i) {
      const bool plainAfter = i % 2, inCm = i % 3 == 0;
      const char letter = "SRXY"[(i / 2) % 2 + (inCm ? 2 : 0)];
      long n = Draw(random, 1, i % 7 ? 400 : 9999), typed = n;
      if (inCm) {
        typed = Draw(random, 1, 3000);  // tenths of a cm
        n = letter == 'X' ? Stitches(typed, g) : Rows(typed, g);
        if (n < 1 || n > 9999) continue;
      }
      const long k = Draw(random, 1, std::min(9999L, i % 4 == 0 ? 3 * n : n));
      cases.push_back({std::string(plainAfter ? "FF " : "FE ") + (inCm ? Type(typed) : Count(n)) + letter + " " +
                           Count(k) + "Z =",
                       [=](const Block& b) {
                         long plain;
                         EXPECT_EQ(b.lines, DivideModel(n, k, plainAfter && k <= n, &plain));
                         const std::string across = letter == 'S' || letter == 'X' ? "ST" : "ROWS";
                         EXPECT_EQ(b.Value(across), n);
                         EXPECT_EQ(std::max({0L, b.Value(across + " PLAIN"), b.Value("ROW PLAIN")}), plain);
                         EXPECT_EQ(b.Value("TIMES"), k);
                       }});
    }
    RunSweep(GaugeKeys(g), cases);
  }
}

TEST(Sweep, SlantingLineAgreesWithTheRules) {
  std::mt19937 random(650);
  for (const Gauge& g : kSweepGauges) {
    std::vector<Case> cases;
    bool modeLit = false;
    while (cases.size() < 130) {
      const long w1 = Draw(random, 50, 1500), w2 = Draw(random, 50, 1500), h = Draw(random, 20, 900);  // tenths
      const bool perSide = cases.size() % 3 == 0;
      const long s1 = Stitches(w1, g), s2 = Stitches(w2, g), rows = Rows(h, g);
      const long diff = std::labs(s1 - s2), d = perSide ? RoundDiv(diff, 2) : diff;
      const char sign = s2 > s1 ? '+' : '-';
      const auto model = SlantModel(d, rows, sign);
      std::string keys = perSide != modeLit ? "FJ " : "";
      modeLit = perSide;
      keys += "FG " + Type(w1) + "X " + Type(w2) + "Z " + Type(h) + "Y =";
      if (!model) {
        cases.push_back({keys, nullptr});
        continue;
      }
      cases.push_back({keys, [=](const Block& b) {
                         EXPECT_EQ(b.Value(sign == '+' ? "ST TO ADD" : "ST TO LOSE"), d);
                         EXPECT_EQ(b.Value("ROWS"), rows);
                         EXPECT_EQ(b.lines, *model);
                         EXPECT_EQ(std::max(0L, b.Value("ROW PLAIN")), rows % 2);
                         EXPECT_EQ(b.text.at(1) == "PER SIDE", perSide);
                         // per side with an odd difference the paper says where the piece ends
                         EXPECT_EQ(b.Value("ST AT END"), perSide && diff % 2 ? s1 + (sign == '+' ? 2 : -2) * d : -1);
                       }});
    }
    RunSweep(GaugeKeys(g), cases);
  }
}

// Curves in cm: the staircase of the stitches and rows through the gauge,
// and the arc of the ellipse typed.
void CurveSweep(unsigned seed, const Gauge& g, int count) {
  std::mt19937 random(seed);
  std::vector<Case> cases;
  while (static_cast<int>(cases.size()) < count) {
    const long x = Draw(random, 10, 300), y = Draw(random, 10, 400);  // tenths
    const long st = Stitches(x, g), rows = Rows(y, g);
    if (st < 1 || rows < 2 || st > 70 || rows > 150) continue;  // listings that fit
    cases.push_back({"FH " + Type(x) + "X " + Type(y) + "Y =", [=](const Block& b) {
                       EXPECT_EQ(b.Value("ST"), st);
                       EXPECT_EQ(b.Value("ROWS"), rows);
                       ExpectStaircase(b, st, rows);
                       ExpectNearestTenth(b.Value("cm ARC"), ArcLength(x / 10.0, y / 10.0));
                     }});
  }
  RunSweep(GaugeKeys(g), cases);
}
TEST(Sweep, CurveLineFollowsTheEllipseA) { CurveSweep(1234, kSweepGauges[0], 260); }
TEST(Sweep, CurveLineFollowsTheEllipseB) { CurveSweep(1235, kSweepGauges[1], 260); }
TEST(Sweep, CurveLineFollowsTheEllipseC) { CurveSweep(1236, kSweepGauges[4], 260); }

TEST(Sweep, SleeveCapMatchesTheArmhole) {
  std::mt19937 random(77);
  for (const Gauge& g : kSweepGauges) {
    std::vector<Case> cases;
    while (cases.size() < 70) {
      const long arm = Draw(random, 200, 450), top = Draw(random, 30, 150), hole = Draw(random, 100, 280);
      if ((arm - top) / 2 + 10 > hole) continue;
      const double w = (arm - top) / 20.0, height = CapHeight(w, hole / 10.0);
      const long h = std::lround(std::floor(height * 10 + 0.5)), rows = Rows(h, g);
      const long armSt = Stitches(arm, g), side = (armSt - Stitches(top, g)) / 2;
      if (rows < 2 || side < 1 || rows > 150 || side > 70) continue;
      cases.push_back({"FI " + Type(arm) + "X " + Type(hole) + "Y " + Type(top) + "Z =", [=](const Block& b) {
                         ExpectNearestTenth(b.Value("cm HIGH"), height);
                         const long printedRows = Rows(b.Value("cm HIGH"), g);
                         EXPECT_EQ(b.Value("ROWS"), printedRows);
                         EXPECT_EQ(b.Value("ST AT TOP"), armSt - 2 * side);
                         EXPECT_EQ(b.Value("ST"), side);
                         ExpectStaircase(b, side, printedRows);
                         ExpectNearestTenth(b.Value("cm ARC"),
                                            ArcLength(side * 100.0 / g.st, printedRows * 100.0 / g.rows));
                       }});
    }
    RunSweep(GaugeKeys(g), cases);
  }
}

// With M/T lit the slant and the curve take stitches and rows as typed;
// the curve's arc is that of the counts through the gauge.
TEST(Sweep, CountsTakeTheSameRules) {
  std::mt19937 random(31);
  for (const bool withGauge : {false, true}) {
    std::vector<Case> cases;
    while (cases.size() < 220) {
      const long a = Draw(random, 1, 150), b = Draw(random, 1, 150), c = Draw(random, 2, 160);
      if (cases.size() % 2) {
        if (a > 70) continue;
        cases.push_back({"FH " + Count(a) + "X " + Count(c) + "Y =", [=](const Block& block) {
                           EXPECT_EQ(std::count_if(block.text.begin(), block.text.end(),
                                                   [](const std::string& l) { return l.ends_with(" ROWS"); }),
                                     1);  // the rows typed are printed once
                           ExpectStaircase(block, a, c);
                           if (withGauge) {
                             ExpectNearestTenth(block.Value("cm ARC"), ArcLength(a * 100.0 / 220, c * 100.0 / 300));
                           } else {
                             EXPECT_FALSE(block.Has("cm ARC"));
                           }
                         }});
      } else {
        const auto model = SlantModel(std::labs(a - b), c, b > a ? '+' : '-');
        const std::string keys = "FG " + Count(a) + "X " + Count(b) + "Z " + Count(c) + "Y =";
        if (!model) {
          cases.push_back({keys, nullptr});
        } else {
          cases.push_back({keys, [=](const Block& block) { EXPECT_EQ(block.lines, *model); }});
        }
      }
    }
    RunSweep(withGauge ? GaugeKeys(kGauge22x30) + " FK" : "FK", cases);
  }
}

// ---------------------------------------------------------------- limits

TEST(Limits, HoldAtTheirEdges) {
  const std::string g = GaugeKeys(kGauge22x30);
  std::vector<KeyCase> cases = {
      // counts are whole: a decimal is refused by "=" and P= alike
      {"FE 6 0 R 8 Z =", "   1"},      {"FE 6 0 . 5 R 8 Z =", "   E"},   {"FE 6 0 R 8 . 5 Z =", "   E"},
      {g + "FD 1 1 0 . 5 S =", "   E"}, {g + "FK FH 1 8 X 1 8 . 5 Y P=", "   E"},
      {"FE 6 0 . 0 R 8 Z =", "   1"},  // a point with no decimal is whole
      // results fit four digits: 9999 stitches, 999.9 cm
      {"FA 9 9 9 . 9 S 1 R = FC 1 0 0 X =", "9999"}, {"FA 9 9 9 . 9 S 1 R = FC 1 0 0 . 1 X =", "   E"},
      {"FA 1 0 0 S 1 R = FD 9 9 9 9 S =", "999.9"},  {"FA 9 9 . 9 S 1 R = FD 9 9 9 9 S =", "   E"},
      // a gauge up to 999.9
      {"FB 1 X 9 9 . 9 S 1 Y 9 9 . 9 R =", "999.0"}, {"FB 1 X 1 0 0 S 1 Y 9 9 . 9 R =", "   E"},
      // a slant takes at most 6 stitches a two-row step
      {"FK FG 1 2 X 0 Z 4 Y =", "  12"}, {"FK FG 1 4 X 0 Z 4 Y =", "   E"},
      // a curve needs two rows; more stitches by steps than 32767 are fine
      {"FK FH 5 X 2 Y =", "   5"}, {"FK FH 5 X 1 Y =", "   E"},
      {"FK FH 6 0 X 1 0 9 4 Y =", "   4"},
      // the arc length fits 999.9 cm
      {"FA 1 S 1 R = FK FH 9 9 X 2 Y P=", "991.0"}, {"FA 1 S 1 R = FK FH 1 0 0 X 2 Y P=", "   E"},
      // the sleeve cap: a top narrower than the arm, an armhole longer than
      // w = 11 cm, two rows at least (0.8 cm at 10 rows per 10 cm is one)
      {g + "FI 3 2 X 1 9 Y 3 2 Z =", "   E"}, {g + "FI 3 2 X 1 1 Y 1 0 Z =", "   E"},
      {g + "FI 3 2 X 1 1 . 1 Y 1 0 Z =", "  0.8"},
      {"FA 2 2 S 1 0 R = FI 3 2 X 1 1 . 1 Y 1 0 Z =", "   E"},
      {"FA 2 2 S 1 0 R = FI 3 2 X 1 1 . 5 Y 1 0 Z =", "  2.1"},
  };
  for (KeyCase& c : cases) c.beeps = c.shown == std::string("   E") ? 2 : 1;  // a refusal beeps
  ExpectKeys(cases);
}

TEST(Limits, ABlockHoldsAtMost120Values) {
  // 3000 stitches over 80 rows: 40 lines of three values; over 82 rows, 41.
  const RunResult fits = RunKeys("FK FH 3 0 0 0 X 8 0 Y =", "--peek " + Hex(LoadSymbols().at("RESN")) + ":1");
  EXPECT_EQ(fits.Shown(), " 667");
  EXPECT_EQ(fits.Field("peek", Hex(LoadSymbols().at("RESN"))), "78");  // 120
  EXPECT_EQ(RunKeys("FK FH 3 0 0 0 X 8 2 Y =").Shown(), "   E");
}

// ---------------------------------------------------------------- arc key

TEST(ArcLength, PEqualsGoesToTheLengthWithItsLamp) {
  const std::string g = GaugeKeys(kGauge22x30);
  ExpectKeys({
      {g + "FH 8 X 6 Y = = P=", " 11.1", 1, "ARC LENGTH"},
      {g + "FH 8 X 6 Y P= P=", " 11.1", 1, "ARC LENGTH"},  // again: stays on it
      {g + "FH 8 X 6 Y P= =", "  18", 1, "-"},            // the lamp goes out with the next value
      {g + "FI 3 2 X 1 9 Y 1 0 Z P=", " 18.8", 1, "ARC LENGTH"},
      {"FE 6 0 R 8 Z P=", "   1", 1, "-"},        // elsewhere P= is "="
      {"FK FH 1 8 X 1 8 Y P=", "   8", 1, "M/T"},  // counts, no gauge: no arc, the first result
  });
}

}  // namespace
