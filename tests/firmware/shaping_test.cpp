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
#include <tuple>
#include <utility>
#include <vector>

#include "firmware_harness.h"
#include "firmware_paper.h"

using namespace fwtest;

namespace {

// ---------------------------------------------------------------- the model


// The even spread: n sizes adding up to t (n <= t), from the first
// convergent p/s of t/n (s sizes adding up to p) whose m repeats drift at
// most one from the line, m = n div s (one less when the repeats would take
// every size but not all of t); then the rest, t - m p over n - m s, the
// exact word of its own ratio. Each part's sizes are the steps of its own
// line, rounded down when the pattern runs ahead and up when it lags.
std::vector<long> PartSizes(long sum, long count, bool up) {
  std::vector<long> sizes;
  for (long i = 1, before = 0; i <= count; ++i) {
    const long at = (sum * i + (up ? count - 1 : 0)) / count;
    sizes.push_back(at - before);
    before = at;
  }
  return sizes;
}

// The convergents of t/n (after the seeds 0/1 and 1/0) up to the first
// whose m repeats drift at most one, or (exact) to t/n itself; with m and
// the quotients.
struct Convergents {
  std::vector<std::pair<long, long>> ps = {{0, 1}, {1, 0}};
  std::vector<long> quotients = {0, 0};
  long m = 0;
};
Convergents Convergent(long t, long n, bool exact) {
  Convergents c;
  for (long a = t, b = n;;) {
    const long q = a / b;
    std::tie(a, b) = std::pair(b, a % b);
    const auto [p1, s1] = c.ps.back();
    const auto [p0, s0] = c.ps[c.ps.size() - 2];
    c.ps.push_back({q * p1 + p0, q * s1 + s0});
    c.quotients.push_back(q);
    const auto [p, s] = c.ps.back();
    c.m = n / s - (n % s == 0 && n / s * p != t ? 1 : 0);
    if (exact ? b == 0 : c.m * std::labs(p * n - s * t) <= n) return c;
  }
}

// A schedule's lines. Sizes are the rows (or places) between shapings of
// one when `gap`, else the amounts at each step of `rows` rows. A repeated
// pattern of two sizes or more is a group. A pattern is the convergent
// before it, u, A times and the one before that, v (u^A v or v u^A): with
// u of two sizes at least and v not empty, u is a group in it when A >= 2
// (in line when A = 1), u and v worked the same way in turn, down to lines
// three columns in.
struct Schedule {
  std::vector<Line> lines;
  long Values() const {
    long values = 0;
    for (const Line& l : lines) values += l.sign == 'x' ? 1 : 3;
    return values;
  }
};
Schedule SpreadModel(long t, long n, bool gap, long rows, char sign) {
  Schedule schedule;
  auto add = [&](const std::vector<long>& sizes, int depth) {
    for (long size : sizes) {
      const Line line = gap ? Line{sign, 1, size * rows, 1, depth} : Line{sign, size, rows, 1, depth};
      auto& lines = schedule.lines;
      if (!lines.empty() && lines.back().sign == sign && lines.back().amount == line.amount &&
          lines.back().between == line.between && lines.back().depth == depth) {
        ++lines.back().times;
      } else {
        lines.push_back(line);
      }
    }
  };
  auto pattern = [&](const Convergents& c, bool up, int depth) {
    auto word = [&](auto& self, size_t k, int d) -> void {
      const auto [p, s] = c.ps[k];
      if (d == 3 || c.ps[k - 1].second < 2 || c.ps[k - 2].second < 1) return add(PartSizes(p, s, up), d);
      const bool uFirst = (k % 2 == 0) == up;  // the word's order: k - 1 quotients taken
      if (!uFirst) self(self, k - 2, d);
      if (c.quotients[k] >= 2) {
        schedule.lines.push_back({'x', c.quotients[k], 0, 0, d});
        self(self, k - 1, d + 1);
      } else {
        self(self, k - 1, d);
      }
      if (uFirst) self(self, k - 2, d);
    };
    word(word, c.ps.size() - 1, depth);
  };
  auto part = [&](const Convergents& c, bool up) {
    const auto [p, s] = c.ps.back();
    if (c.m >= 2 && s >= 2) {
      schedule.lines.push_back({'x', c.m, 0, 0, 0});
      pattern(c, up, 1);
    } else if (c.m == 1) {
      pattern(c, up, 0);
    } else {
      for (long i = 0; i < c.m; ++i) add(PartSizes(p, s, up), 0);
    }
  };
  const Convergents first = Convergent(t, n, false);
  const auto [p, s] = first.ps.back();
  const bool up = p * n < s * t;
  part(first, up);
  if (n > first.m * s) part(Convergent(t - first.m * p, n - first.m * s, true), up);
  return schedule;
}

// The sizes the lines from `at` stand for, to the end of their group.
std::vector<long> Expand(const std::vector<Line>& lines, size_t& at, int depth, bool gap, long rows) {
  std::vector<long> sizes;
  while (at < lines.size() && lines[at].depth >= depth) {
    const Line& l = lines[at++];
    if (l.sign == 'x') {
      const auto group = Expand(lines, at, depth + 1, gap, rows);
      for (long i = 0; i < l.amount; ++i) sizes.insert(sizes.end(), group.begin(), group.end());
    } else {
      sizes.insert(sizes.end(), l.times, gap ? l.between / rows : l.amount);
    }
  }
  return sizes;
}

// Every running sum of the printed sizes, groups worked as often as their
// counts say, is within one of the line t i / n.
void ExpectWithinOne(const Block& block, long t, long n, bool gap, long rows) {
  size_t at = 0;
  const auto sizes = Expand(block.lines, at, 0, gap, rows);
  ASSERT_EQ(static_cast<long>(sizes.size()), n);
  long sum = 0;
  for (long i = 1; i <= n; ++i) {
    sum += sizes[i - 1];
    ASSERT_LE(std::labs(sum * n - t * i), n) << "size " << i << " strays more than one";
  }
  EXPECT_EQ(sum, t);
}

// A slant of d stitches over `rows` keeps within one stitch of its line.
void ExpectSlantWithinOne(const Block& block, long d, long rows) {
  if (d <= rows / 2) {
    ExpectWithinOne(block, rows / 2, d, true, 2);
  } else {
    ExpectWithinOne(block, d, rows / 2, false, 2);
  }
}

// Dividing k events over n places: evenly, or (F) every q-th, then the rest
// plain; more events than places: evenly at every place.
Schedule DivideModel(long n, long k, bool plainAfter, long* plain) {
  *plain = 0;
  if (k > n) return SpreadModel(k, n, false, 1, ' ');
  if (!plainAfter) return SpreadModel(n, k, true, 1, ' ');
  *plain = n % k;
  return {{{' ', 1, n / k, k}}};
}

// d stitches over `rows` on two-row steps, an odd row plain: evenly, a
// stitch every few steps or (steeper) a few stitches at every step, at most
// 6 a step.
std::optional<Schedule> SlantModel(long d, long rows, char sign) {
  const long steps = rows / 2;
  if (d <= 0 || steps <= 0) return std::nullopt;
  if (d <= steps) return SpreadModel(steps, d, true, 2, sign);
  if ((d + steps - 1) / steps > 6) return std::nullopt;
  return SpreadModel(d, steps, false, 2, sign);
}

// The ellipse after step i of m: x sqrt(1 - ((m - i) / m)^2), through
// W = x^2 i (2m - i), E = sqrt(W) / m.
using Wide = unsigned __int128;
Wide EllipseSquare(long x, long m, long i) { return Wide(x) * Wide(x) * Wide(i) * Wide(2 * m - i); }

// The largest v with (v m)^2 <= scale^2 W: floor(scale E).
long FloorScaled(long x, long m, long i, long scale) {
  const Wide w = EllipseSquare(x, m, i) * Wide(scale) * Wide(scale);
  long v = std::lround(std::floor(scale * x * std::sqrt(double(i) * double(2 * m - i)) / m));
  while (v > 0 && Wide(v) * Wide(v) * Wide(m) * Wide(m) > w) --v;
  while (Wide(v + 1) * Wide(v + 1) * Wide(m) * Wide(m) <= w) ++v;
  return v;
}

// The stitches that may be off after step i when the staircase keeps within
// p / 16 of a stitch: |16 c - 16 E| <= p, worked on squares.
std::pair<long, long> Band(long x, long m, long i, long p) {
  if (i == m) return {x, x};
  const Wide w = EllipseSquare(x, m, i) * 256;
  auto within = [&](long c, bool low) {  // 16 c + p >= 16 E, or 16 c - p <= 16 E
    const long v = low ? 16 * c + p : 16 * c - p;
    if (v < 0) return !low;
    return low ? Wide(v) * Wide(v) * Wide(m) * Wide(m) >= w : Wide(v) * Wide(v) * Wide(m) * Wide(m) <= w;
  };
  long lo = std::max(0L, FloorScaled(x, m, i, 1) - 3), hi = std::min(x, FloorScaled(x, m, i, 1) + 3);
  while (lo <= hi && !within(lo, true)) ++lo;
  while (hi >= lo && !within(hi, false)) --hi;
  return {lo, hi};
}

// The closest staircase of x stitches over m two-row steps: C(i) the
// stitches off after step i, its shapings (C(i) - C(i - 1) when not 0)
// never growing. Of those, the ones whose worst deviation from the ellipse
// is smallest in sixteenths of a stitch (at most two stitches); of them the
// least sum of (256 C(i) - floor(256 E(i)))^2; of those the one that casts
// off earlier (the larger C at the first step where they differ). Found by
// trying every staircase: states (c, last shaping), each with its best
// path. Empty when none keeps within two stitches.
std::vector<long> ClosestStaircase(long x, long m) {
  struct Path {
    long long cost;
    std::vector<long> c;
    bool operator<(const Path& o) const { return cost != o.cost ? cost < o.cost : c > o.c; }
  };
  for (long p = 0; p < 32; ++p) {
    std::map<std::pair<long, long>, Path> states = {{{0, LONG_MAX}, {0, {}}}};
    for (long i = 1; i <= m && !states.empty(); ++i) {
      const auto [lo, hi] = Band(x, m, i, p);
      const long e = i == m ? 256 * x : FloorScaled(x, m, i, 256);
      std::map<std::pair<long, long>, Path> next;
      for (const auto& [key, path] : states) {
        const auto [c, last] = key;
        for (long to = std::max(c, lo); to <= hi && to - c <= last; ++to) {
          Path longer = path;
          longer.cost += (256 * to - e) * (256 * to - e);
          longer.c.push_back(to);
          const std::pair<long, long> at = {to, to == c ? last : to - c};
          if (!next.count(at) || longer < next.at(at)) next[at] = longer;
        }
      }
      states.swap(next);
    }
    if (states.empty()) continue;
    const Path* best = nullptr;
    for (const auto& [key, path] : states) {
      if (!best || path < *best) best = &path;
    }
    return best->c;
  }
  return {};
}

// The staircase as the printed lines: equal shapings the same number of
// rows apart make one line; the empty steps at the top and an odd row are
// the plain rows.
std::vector<Line> StaircaseLines(const std::vector<long>& c, long rows, long* plain) {
  std::vector<Line> lines;
  long before = 0, empty = 0;
  for (long off : c) {
    if (off == before) {
      ++empty;
      continue;
    }
    const Line line = {'-', off - before, 2 * (empty + 1), 1};
    if (!lines.empty() && lines.back().amount == line.amount && lines.back().between == line.between) {
      ++lines.back().times;
    } else {
      lines.push_back(line);
    }
    before = off;
    empty = 0;
  }
  *plain = 2 * empty + rows % 2;
  return lines;
}

// A printed staircase of x stitches over `rows` is the model's, exactly.
void ExpectStaircase(const Block& block, long x, long rows) {
  long plain = 0;
  const auto lines = StaircaseLines(ClosestStaircase(x, rows / 2), rows, &plain);
  EXPECT_EQ(block.lines, lines);
  EXPECT_EQ(std::max(0L, block.Value("ROWS PLAIN")) + std::max(0L, block.Value("ROW PLAIN")), plain);
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

const Gauge kSweepGauges[] = {{220, 300}, {200, 280, true}, {300, 415}, {150, 210, true}, {264, 351}};

TEST(Sweep, DividingAgreesWithTheRules) {
  // Long dividings whose groups nest three deep to fit the block.
  const std::pair<long, long> kDeep[] = {{9440, 3797}, {3911, 2896}, {6449, 4246}, {7997, 5251},
                                         {6195, 4243}, {5113, 2085}, {9085, 5774}};
  std::mt19937 random(2026);
  for (const Gauge& g : kSweepGauges) {
    std::vector<Case> cases;
    for (int i = 0; i < 140; ++i) {
      const bool deep = i % 20 == 10, plainAfter = i % 2, inCm = i % 3 == 0 && !deep;
      const char letter = "SRXY"[(i / 2) % 2 + (inCm ? 2 : 0)];
      long n = Draw(random, 1, i % 7 ? 400 : 9999), typed = n;
      if (inCm) {
        typed = Draw(random, 1, 3000);  // tenths of a cm
        n = letter == 'X' ? Stitches(typed, g) : Rows(typed, g);
        if (n < 1 || n > 9999) continue;
      }
      long k = Draw(random, 1, std::min(9999L, i % 4 == 0 ? 3 * n : n));
      if (deep) std::tie(n, k) = kDeep[i / 20];
      long plain;
      const Schedule model = DivideModel(n, k, plainAfter, &plain);
      const std::string keys = std::string(plainAfter ? "FF " : "FE ") + (inCm ? Type(typed) : Count(n)) + letter +
                               " " + Count(k) + "Z =";
      if (model.Values() + (inCm ? 1 : 0) + (plain ? 1 : 0) > 120) {  // a listing beyond the block
        cases.push_back({keys, nullptr});
        continue;
      }
      cases.push_back({keys, [=](const Block& b) {
                         EXPECT_EQ(b.lines, model.lines);
                         if (k > n) ExpectWithinOne(b, k, n, false, 1);
                         if (k <= n && !plainAfter) ExpectWithinOne(b, n, k, true, 1);
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
                         EXPECT_EQ(b.lines, model->lines);
                         ExpectSlantWithinOne(b, d, rows);
                         EXPECT_EQ(std::max(0L, b.Value("ROW PLAIN")), rows % 2);
                         EXPECT_EQ(b.text.at(1) == "PER SIDE", perSide);
                         // the whole piece's stitches where it starts and ends
                         EXPECT_EQ(b.Value("ST FROM"), s1);
                         EXPECT_EQ(b.Value("ST AT END"), s1 + (sign == '+' ? 1 : -1) * (perSide ? 2 : 1) * d);
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
                       EXPECT_EQ(b.text.at(1), "AT NECK/ARM EDGE");
                       EXPECT_EQ(b.Value("ST"), st);
                       EXPECT_EQ(b.Value("ROWS"), rows);
                       ExpectStaircase(b, st, rows);
                       ExpectNearestTenth(b.Value(g.Unit() + " ARC"), ArcLength(x / 10.0, y / 10.0));
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
                         ExpectNearestTenth(b.Value(g.Unit() + " HIGH"), height);
                         const long printedRows = Rows(b.Value(g.Unit() + " HIGH"), g);
                         EXPECT_EQ(b.Value("ROWS"), printedRows);
                         EXPECT_EQ(b.Value("ST AT ARM"), armSt);
                         EXPECT_EQ(b.Value("ST AT TOP"), armSt - 2 * side);
                         EXPECT_EQ(b.Value("ST"), side);
                         EXPECT_NE(std::find(b.text.begin(), b.text.end(), "EACH SIDE"), b.text.end());
                         EXPECT_EQ(b.text.at(1), "AT ARMHOLE EDGE");
                         ExpectStaircase(b, side, printedRows);
                         ExpectNearestTenth(b.Value(g.Unit() + " ARC"), ArcLength(side * g.Per() / 10.0 / g.st,
                                                                                  printedRows * g.Per() / 10.0 / g.rows));
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
    // large curves that fit the block: closest searches of 76 to 85 steps,
    // of 109 to 145 whose way back fills the records' room, of 90 to 128
    // that need nine states at a step, one whose way back outgrows the room
    // and is found again in a second pass, and one that needs eleven states
    std::vector<std::pair<long, long>> curves = {{314, 291}, {306, 294}, {304, 276}, {289, 254},
                                                 {243, 304}, {465, 323}, {947, 301}, {771, 369},
                                                 {493, 232}, {697, 324}, {623, 331}, {969, 348},
                                                 {849, 349}};
    while (cases.size() < 220) {
      long a = Draw(random, 1, 150), b = Draw(random, 1, 150), c = Draw(random, 2, 160);
      const bool large = !curves.empty();
      if (large) {
        std::tie(a, c) = curves.back();
        curves.pop_back();
      }
      if (large || cases.size() % 2) {
        if (a > 70 && !large) continue;
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
          cases.push_back({keys, [=](const Block& block) {
                             EXPECT_EQ(block.lines, model->lines);
                             ExpectSlantWithinOne(block, std::labs(a - b), c);
                             EXPECT_FALSE(block.Has("ST AT END"));  // it ends as typed
                           }});
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
      {"FE 6 0 R 8 Z =", "   4"},      {"FE 6 0 . 5 R 8 Z =", "   E"},   {"FE 6 0 R 8 . 5 Z =", "   E"},
      {g + "FD 1 1 0 . 5 S =", "   E"}, {g + "FK FH 1 8 X 1 8 . 5 Y P=", "   E"},
      {"FE 6 0 . 0 R 8 Z =", "   4"},  // a point with no decimal is whole
      {"FE 3 9 1 1 S 2 8 9 6 Z = = = = = = = = =", "   5"},  // "=" reaches a third level's count in print order
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
      {"FE 6 0 R 8 Z P=", "   4", 1, "-"},        // elsewhere P= is "="
      {"FK FH 1 8 X 1 8 Y P=", "   8", 1, "M/T"},  // counts, no gauge: no arc, the first result
  });
}

}  // namespace
