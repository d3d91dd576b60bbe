// The calculator's functions with worked examples: number entry, the gauge
// given and from a swatch, straight-line conversions both ways, the clears
// and the error rules of every function. Expected values are worked out here
// from the inputs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "firmware_harness.h"

using namespace fwtest;

namespace {

// What four seven-segment digits show for a value: whole, or with one decimal.
std::string Shown(long value, bool tenths) {
  char text[48];
  std::snprintf(text, sizeof text, tenths ? "%3ld.%ld" : "%4ld", tenths ? value / 10 : value, value % 10);
  return std::string(text).size() > (tenths ? 5u : 4u) ? "   E" : text;
}

TEST(Entry, ShowsWhatWasTypedAndBeepsAtWhatIsRefused) {
  const struct {
    const char* keys;
    const char* shown;
    int beeps;  // the start-up beep plus refusals
  } cases[] = {
      {"1 2 . 5", " 12.5", 1},   {"0 . 5", "  0.5", 1},       {". 5", "  0.5", 1},      {"1 2 3 4", "1234", 1},
      {"1 2 3 4 5", "1234", 2},  {"1 2 .", "  12.", 1},       {"1 . 2 3", "  1.2", 2},  {"1 2 3 4 . 5", "1234.", 2},
      {"9 9 9 . 9", "999.9", 1}, {"0 0 7", "   7", 1},        {"1 2 C", "   0", 1},     {"1 . .", "   1.", 2},
      {"1 2 C 3", "   3", 1},    {"8 . 0", "  8.0", 1},
      // letters the function takes: the entry stays on show
      {"FE 5 S", "   5", 1},     {"FE 5 Z", "   5", 1},       {"FG 5 Z", "   5", 1},    {"FI 5 Y", "   5", 1},
  };
  for (const auto& c : cases) {
    const RunResult run = RunKeys(c.keys);
    EXPECT_EQ(run.Shown(), c.shown) << c.keys;
    EXPECT_EQ(run.Number("beeps"), c.beeps) << c.keys;
  }
}

const Gauge kGauges[] = {{220, 300}, {185, 254}, {300, 415}, {125, 170}, {999, 999}, {9, 17}};

TEST(GaugeGiven, ShowsBothHalvesInTurn) {
  for (const Gauge& g : kGauges) {
    EXPECT_EQ(ShownAfter(GaugeKeys(g)), Shown(g.st, true));
    EXPECT_EQ(ShownAfter(GaugeKeys(g) + "="), Shown(g.rows, true));
    EXPECT_EQ(ShownAfter(GaugeKeys(g) + "= ="), Shown(g.st, true));
  }
  // one half alone replaces only that half
  EXPECT_EQ(ShownAfter(GaugeKeys(kGauge22x30) + "FA 2 5 S = ="), " 30.0");
  EXPECT_EQ(ShownAfter(GaugeKeys(kGauge22x30) + "FA 2 5 S = FC 1 0 X ="), "  25");
}

TEST(StraightLine, CentimetresToStitchesAndRows) {
  for (const Gauge& g : kGauges) {
    for (long length : {500, 205, 1, 999, 9999, 333}) {  // tenths of a cm
      // stitches = cm * gauge / 10, with both numbers in tenths
      const long stitches = RoundDiv(static_cast<long long>(length) * g.st, 1000);
      const long rows = RoundDiv(static_cast<long long>(length) * g.rows, 1000);
      const std::string keys = GaugeKeys(g) + "FC " + Type(length) + "X " + Type(length) + "Y =";
      if (stitches > 9999 || rows > 9999) {
        EXPECT_EQ(ShownAfter(keys), "   E") << keys;
        continue;
      }
      EXPECT_EQ(ShownAfter(keys), Shown(stitches, false)) << keys;
      EXPECT_EQ(ShownAfter(keys + " ="), Shown(rows, false)) << keys;
    }
  }
  // only the given direction is worked out
  EXPECT_EQ(ShownAfter(GaugeKeys(kGauge22x30) + "FC 2 0 Y ="), "  60");
  EXPECT_EQ(ShownAfter(GaugeKeys(kGauge22x30) + "FC 2 0 Y = ="), "  60");
}

TEST(StraightLine, StitchesAndRowsToCentimetres) {
  for (const Gauge& g : kGauges) {
    for (long count : {110, 1, 57, 999, 9999, 240}) {
      // cm = count * 10 / gauge; in tenths: count * 1000 / gauge-in-tenths
      const long width = RoundDiv(static_cast<long long>(count) * 1000, g.st);
      const long height = RoundDiv(static_cast<long long>(count) * 1000, g.rows);
      const std::string keys = GaugeKeys(g) + "FD " + Type(count * 10) + "S " + Type(count * 10) + "R =";
      if (width > 9999 || height > 9999) {
        EXPECT_EQ(ShownAfter(keys), "   E") << keys;
        continue;
      }
      EXPECT_EQ(ShownAfter(keys), Shown(width, true)) << keys;
      EXPECT_EQ(ShownAfter(keys + " ="), Shown(height, true)) << keys;
    }
  }
  EXPECT_EQ(ShownAfter(GaugeKeys(kGauge22x30) + "FD 6 0 R ="), " 20.0");
}

TEST(SwatchGauge, PerTenCentimetres) {
  const struct {
    long width, height;   // cm, tenths
    long stitches, rows;  // counted, tenths
  } swatches[] = {{75, 80, 150, 240}, {100, 100, 220, 300}, {123, 77, 270, 230}, {150, 150, 333, 451}, {25, 30, 7, 11}};
  for (const auto& s : swatches) {
    // per 10 cm = counted * 10 / size; in tenths: counted(tenths) * 100 / size(tenths)
    const long perStitch = RoundDiv(static_cast<long long>(s.stitches) * 100, s.width);
    const long perRow = RoundDiv(static_cast<long long>(s.rows) * 100, s.height);
    const std::string keys = "FB " + Type(s.width) + "X " + Type(s.height) + "Y " + Type(s.stitches) + "S " +
                             Type(s.rows) + "R =";
    EXPECT_EQ(ShownAfter(keys), Shown(perStitch, true)) << keys;
    EXPECT_EQ(ShownAfter(keys + " ="), Shown(perRow, true)) << keys;
    // and the gauge is then the one used for conversions: 100 cm
    EXPECT_EQ(ShownAfter(keys + " FC 1 0 0 X ="), Shown(perStitch, false)) << keys;
  }
  // a pair left out keeps that half
  EXPECT_EQ(ShownAfter(GaugeKeys(kGauge22x30) + "FB 5 X 1 5 S = ="), " 30.0");
  EXPECT_EQ(ShownAfter(GaugeKeys(kGauge22x30) + "FB 5 X 1 5 S ="), " 30.0");
}

TEST(Errors, ShowEAndBeep) {
  const std::string g = GaugeKeys(kGauge22x30);
  const std::string cases[] = {
      "S", "1 S",                                  // a letter before any function
      "FA S",                                      // nothing typed
      "FA 2 X", "FC 2 S", "FG 5 S", "FH 5 Z", "FH 5 R", "FI 5 S",  // a letter the function does not take
      "FA 0 S 3 0 R =",                            // a zero gauge
      "FA 2 2 S =",                                // half a gauge and none held
      "FC 1 0 X =", "FD 1 0 S =",                  // no gauge
      "FG 3 0 X 4 0 Z 2 0 Y =", "FH 8 X 6 Y =", "FI 3 2 X 1 9 Y 1 0 Z =", "FE 5 0 X 8 Z =",
      g + "FC =",                                  // no input
      "FB 1 0 X =", "FB =",                        // a swatch pair half given, nothing counted
      "FB 0 X 5 S =",                              // a swatch of no width
      "FA 9 9 9 . 9 S 1 R = FC 9 9 9 . 9 X =",     // too many stitches for four digits
      "FA 1 S 1 R = FD 9 9 9 9 S =",               // too many centimetres for four digits
      "FB 1 X 9 9 9 S =",                          // a gauge over 999.9
      "FE =", g + "FE 5 S =",                      // dividing with nothing given, with no k
      g + "FE 0 Z 5 S =",                          // k = 0
      g + "FE 5 Z =",                              // nothing to spread over
      g + "FE 5 Z 5 S 5 R =",                      // two places at once
      g + "FG 1 X 3 0 Z 1 Y =",                    // 29 cm over 1 cm: too steep for a step
      g + "FG 3 0 X 3 0 Z 1 0 Y =",                // nothing to shape
      g + "FG 3 0 X 4 0 Z . 3 Y =",                // one row only: no two-row step
      g + "FH 8 X =", g + "FH 0 X 6 Y =",          // no height, no width
      g + "FH 8 X . 3 Y =",                        // no step
      "FI 3 2 X =", g + "FI 3 2 X 1 9 Y =",        // a sleeve cap half given, no top
      g + "FI 3 2 X 5 Y 1 0 Z =",                  // armhole shorter than the width to lose
      g + "FI 1 0 X 1 9 Y 3 2 Z =",                // top wider than the arm
  };
  for (const std::string& keys : cases) {
    const RunResult run = RunKeys(keys);
    EXPECT_EQ(run.Shown(), "   E") << keys;
    EXPECT_EQ(run.Number("beeps"), 2) << keys;
  }
}

TEST(ClearsAndResults, ShowWhatTheyShould) {
  const std::string g = GaugeKeys(kGauge22x30);
  const struct {
    std::string keys;
    const char* shown;
  } cases[] = {
      {"S 5 5", "   E"},  // the error state ignores digits ...
      {"S C", "   0"},    {"S C 5", "   5"}, {"S ACNG", "   0"}, {"S AC", "   0"},  // ... but not the clears
      {g + "FC 5 0 X 1 S C =", " 110"},  // C keeps the function and its inputs
      {g + "FE 0 Z 5 S = C", "   0"},
      {g + "ACNG FC 5 0 X =", " 110"},   // no gauge keeps the gauge, all forgets it
      {g + "AC FC 5 0 X =", "   E"},     {g + "FC 5 0 X ACNG =", "   0"},
      {"1 2 =", "  12"},                 {"=", "   0"},  // "=" without a function does nothing
      {g + "FC 5 0 X 2 0 Y P= P=", "  60"},  // P= steps like "="
  };
  for (const auto& c : cases) EXPECT_EQ(ShownAfter(c.keys), c.shown) << c.keys;
  // the print switch still acts in the error state; further keys beep
  const RunResult run = RunKeys("S FN 7");
  EXPECT_EQ(run.Lamp("PRINT"), "true");
  EXPECT_EQ(run.Shown(), "   E");
  EXPECT_EQ(run.Number("beeps"), 3);
}

}  // namespace
