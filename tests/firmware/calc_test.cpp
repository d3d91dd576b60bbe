// The calculator's functions with worked examples: number entry, the gauge
// given and from a swatch, straight-line conversions both ways, the clears
// and the error rules of every function. Expected values are worked out here
// from the inputs.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "firmware_harness.h"
#include "firmware_paper.h"

using namespace fwtest;

namespace {

TEST(Entry, ShowsWhatWasTypedAndBeepsAtWhatIsRefused) {
  const std::string g = GaugeKeys(kGauge22x30);
  ExpectKeys({
      {"1 2 . 5", " 12.5", 1},   {"0 . 5", "  0.5", 1},       {". 5", "  0.5", 1},      {"1 2 3 4", "1234", 1},
      {"1 2 3 4 5", "1234", 2},  {"1 2 .", "  12.", 1},       {"1 . 2 3", "  1.2", 2},  {"1 2 3 4 . 5", "1234.", 2},
      {"9 9 9 . 9", "999.9", 1}, {"0 0 7", "   7", 1},        {"1 2 C", "   0", 1},     {"1 . .", "   1.", 2},
      {"1 2 C 3", "   3", 1},    {"8 . 0", "  8.0", 1},
      // letters the function takes: the entry stays on show
      {"FE 5 S", "   5", 1},     {"FE 5 Z", "   5", 1},       {"FG 5 Z", "   5", 1},    {"FI 5 Y", "   5", 1},
      {"S 5 5", "   E", 4},  // the error state ignores digits ...
      {"S C", "   0", 2},    {"S C 5", "   5", 2}, {"S ACNG", "   0", 2}, {"S AC", "   0", 2},  // ... but not the clears
      {g + "FC 5 0 X 1 S C =", " 110"},  // C keeps the function and its inputs
      {g + "FE 0 Z 5 S = C", "   0"},
      {g + "ACNG FC 5 0 X =", " 110"},   // no gauge keeps the gauge, all forgets it
      {g + "AC FC 5 0 X =", "   E"},     {g + "FC 5 0 X ACNG =", "   0"},
      {"1 2 =", "  12"},                 {"=", "   0"},  // "=" without a function does nothing
      {g + "FC 5 0 X 2 0 Y P= P=", "  60"},  // P= steps like "="
      {g + "FC 2 0 Y =", "  60"}, {g + "FC 2 0 Y = =", "  60"}, {g + "FD 6 0 R =", " 20.0"},  // only what is given
      {g + "FA 2 5 S = =", " 30.0"}, {g + "FA 2 5 S = FC 1 0 X =", "  25"},  // one half replaces only that half
      // a swatch's gauge is then the one used; a pair left out keeps that half
      {"FB 7 . 5 X 8 Y 1 5 S 2 4 R = FC 1 0 0 X =", " 200"}, {g + "FB 5 X 1 5 S = =", " 30.0"},
      {g + "FB 5 X 1 5 S =", " 30.0"},
      {"S FN 7", "   E", 3, "PRINT"},  // the print switch still acts in the error state
  });
}

const Gauge kGauges[] = {{220, 300}, {185, 254, true}, {300, 415}, {125, 170, true}, {999, 999}, {9, 17, true}};

// Seeded sweeps, a printed block a calculation: centimetres to stitches and
// rows and back, each to the nearest, and E when a result needs five digits.
TEST(StraightLine, BothWaysThroughTheGauge) {
  std::mt19937 random(22);
  for (const Gauge& g : kGauges) {
    std::vector<Case> cases;
    for (int i = 0; i < 70; ++i) {
      const long x = Draw(random, 1, 9999), y = Draw(random, 1, 9999);  // tenths of the unit
      const long st = Stitches(x, g), rows = Rows(y, g);
      Case to{"FC " + Type(x) + "X " + Type(y) + "Y =", {}};
      if (st <= 9999 && rows <= 9999) {
        to.check = [=](const Block& b) {
          EXPECT_EQ(b.Value(g.Unit() + " WIDE"), x);
          EXPECT_EQ(b.Value("ST"), st);
          EXPECT_EQ(b.Value("ROWS"), rows);
        };
      }
      cases.push_back(to);
      const long s = Draw(random, 1, 9999), r = Draw(random, 1, 9999);
      const long w = RoundDiv(static_cast<long long>(s) * g.Per(), g.st), h = RoundDiv(static_cast<long long>(r) * g.Per(), g.rows);
      Case back{"FD " + Type(s * 10) + "S " + Type(r * 10) + "R =", {}};
      if (w <= 9999 && h <= 9999) {
        back.check = [=](const Block& b) {
          EXPECT_EQ(b.Value("ST"), s);
          EXPECT_EQ(b.Value(g.Unit() + " WIDE"), w);
          EXPECT_EQ(b.Value(g.Unit() + " HIGH"), h);
        };
      }
      cases.push_back(back);
    }
    RunSweep(GaugeKeys(g), cases);
  }
}

// The gauge per 10 cm or per 4 in from a swatch, to 0.1; the counts may have
// a decimal.
TEST(SwatchGauge, PerTenCentimetresOrFourInches) {
  std::mt19937 random(75);
  for (const bool inches : {false, true}) {
  std::vector<Case> cases;
  const long per = inches ? 40 : 100;
  const std::string unit = inches ? "4 in" : "10 cm";
  for (int i = 0; i < 150; ++i) {
    const long w = Draw(random, 5, 400), h = Draw(random, 5, 400);        // tenths of the unit
    const long s = Draw(random, 10, 1500), r = Draw(random, 10, 1500);    // counted, tenths
    const long perStitch = RoundDiv(static_cast<long long>(s) * per, w), perRow = RoundDiv(static_cast<long long>(r) * per, h);
    Case swatch{"FB " + Type(w) + "X " + Type(h) + "Y " + Type(s) + "S " + Type(r) + "R =", {}};
    if (perStitch >= 1 && perStitch <= 9999 && perRow >= 1 && perRow <= 9999) {
      swatch.check = [=](const Block& b) {
        EXPECT_EQ(b.Value("ST/" + unit), perStitch);
        EXPECT_EQ(b.Value("ROWS/" + unit), perRow);
        EXPECT_EQ(b.Value("ST"), s % 10 ? s : s / 10);  // as counted
      };
    }
    cases.push_back(swatch);
  }
  RunSweep(inches ? "4 FA" : "", cases);
  }
}

TEST(Errors, ShowEAndBeep) {
  const std::string g = GaugeKeys(kGauge22x30);
  const std::string cases[] = {
      "S", "1 S", "FA S",  // a letter before any function, nothing typed
      "FA 2 X", "FC 2 S", "FG 5 S", "FH 5 Z", "FH 5 R", "FI 5 S",  // a letter the function does not take
      "FA 0 S 3 0 R =", "FA 2 2 S =", "FC 1 0 X =", "FD 1 0 S =",  // a zero gauge, half a gauge, none at all
      "FG 3 0 X 4 0 Z 2 0 Y =", "FH 8 X 6 Y =", "FI 3 2 X 1 9 Y 1 0 Z =", "FE 5 0 X 8 Z =",
      g + "FC =", "FB 1 0 X =", "FB =", "FB 0 X 5 S =",  // no input, a swatch half given or of no width
      "FE =", g + "FE 5 S =", g + "FE 0 Z 5 S =", g + "FE 5 Z =",  // dividing: no k, k = 0, nowhere to spread
      g + "FE 5 Z 5 S 5 R =",                  // two places at once
      g + "FG 3 0 X 3 0 Z 1 0 Y =", g + "FG 3 0 X 4 0 Z . 3 Y =",  // nothing to shape, no two-row step
      g + "FH 8 X =", g + "FH 0 X 6 Y =", "FI 3 2 X =", g + "FI 3 2 X 1 9 Y =",  // inputs left out
  };
  for (const std::string& keys : cases) {
    const RunResult run = RunKeys(keys);
    EXPECT_EQ(run.Shown(), "   E") << keys;
    EXPECT_EQ(run.Number("beeps"), 2) << keys;
  }
}

}  // namespace
