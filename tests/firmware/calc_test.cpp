// The calculator's functions with worked examples: number entry, the gauge
// given and from a swatch, straight-line conversions both ways, the clears
// and the error rules. Expected values are worked out here from the inputs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "firmware_harness.h"

using namespace fwtest;

namespace {

// Keys that type a number given in tenths, e.g. 225 -> "2 2 . 5".
std::string Type(long tenths) {
  std::string digits = std::to_string(tenths / 10);
  std::string keys;
  for (char c : digits) keys += std::string(1, c) + " ";
  if (tenths % 10) keys += ". " + std::to_string(tenths % 10) + " ";
  return keys;
}

// What four seven-segment digits show for a value: whole, or with one decimal.
std::string Shown(long value, bool tenths) {
  char text[48];
  if (tenths) {
    std::snprintf(text, sizeof text, "%3ld.%ld", value / 10, value % 10);
    return std::string(text).size() > 5 ? "   E" : text;
  }
  std::snprintf(text, sizeof text, "%4ld", value);
  return std::string(text).size() > 4 ? "   E" : text;
}

// Rounds a / b to the nearest whole number, halves up (a, b > 0).
long RoundDiv(long long a, long long b) { return static_cast<long>((2 * a + b) / (2 * b)); }

std::string ShownAfter(const std::string& keys) {
  const RunResult run = RunFirmware("--keys '" + keys + "'");
  EXPECT_EQ(run.status, 0) << keys << run.errors;
  EXPECT_EQ(Field(run.report, "stop"), "idle") << keys;
  return Field(run.report, "shown");
}

// ---------------------------------------------------------------- entry

struct EntryCase {
  const char* keys;
  const char* shown;
  int beeps;
};

const EntryCase kEntries[] = {
    {"1 2 . 5", " 12.5", 1},      {"0 . 5", "  0.5", 1},       {". 5", "  0.5", 1},
    {"1 2 3 4", "1234", 1},       {"1 2 3 4 5", "1234", 2},   {"1 2 .", "  12.", 1},
    {"1 . 2 3", "  1.2", 2},      {"1 2 3 4 . 5", "1234.", 2}, {"9 9 9 . 9", "999.9", 1},
    {"0 0 7", "   7", 1},         {"1 2 C", "   0", 1},       {"1 . .", "   1.", 2},
    {"1 2 C 3", "   3", 1},       {"8 . 0", "  8.0", 1},
};

class Entry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(Entry, ShowsWhatWasTyped) {
  const RunResult run = RunFirmware(std::string("--keys '") + GetParam().keys + "'");
  EXPECT_EQ(Field(run.report, "shown"), GetParam().shown);
  EXPECT_EQ(Number(run.report, "beeps"), GetParam().beeps);  // the start-up beep plus refusals
}

INSTANTIATE_TEST_SUITE_P(Calculator, Entry, ::testing::ValuesIn(kEntries));

// ---------------------------------------------------------------- gauge and conversions

struct Gauge {
  long stitches;  // per 10 cm, tenths
  long rows;
};

const Gauge kGauges[] = {{220, 300}, {185, 254}, {300, 415}, {125, 170}, {999, 999}, {9, 17}};
// Lengths in tenths of a centimetre.
const long kLengths[] = {500, 205, 1, 999, 9999, 333};

std::string GaugeKeys(const Gauge& g) { return "FA " + Type(g.stitches) + "S " + Type(g.rows) + "R = "; }

TEST(GaugeGiven, ShowsBothHalvesInTurn) {
  for (const Gauge& g : kGauges) {
    EXPECT_EQ(ShownAfter(GaugeKeys(g)), Shown(g.stitches, true));
    EXPECT_EQ(ShownAfter(GaugeKeys(g) + "="), Shown(g.rows, true));
    EXPECT_EQ(ShownAfter(GaugeKeys(g) + "= ="), Shown(g.stitches, true));
  }
}

TEST(GaugeGiven, OneHalfAloneReplacesOnlyThatHalf) {
  const std::string keys = GaugeKeys({220, 300}) + "FA 2 5 S = =";
  EXPECT_EQ(ShownAfter(keys), " 30.0");
  EXPECT_EQ(ShownAfter(GaugeKeys({220, 300}) + "FA 2 5 S = FC 1 0 X ="), "  25");
}

TEST(StraightLine, CentimetresToStitchesAndRows) {
  for (const Gauge& g : kGauges) {
    for (long length : kLengths) {
      // stitches = cm * gauge / 10, with both numbers in tenths
      const long stitches = RoundDiv(static_cast<long long>(length) * g.stitches, 1000);
      const long rows = RoundDiv(static_cast<long long>(length) * g.rows, 1000);
      const std::string keys = GaugeKeys(g) + "FC " + Type(length) + "X " + Type(length) + "Y =";
      const RunResult run = RunFirmware("--keys '" + keys + " ='");
      const bool fits = stitches <= 9999 && rows <= 9999;
      if (!fits) {
        EXPECT_EQ(ShownAfter(keys), "   E") << keys;
        continue;
      }
      EXPECT_EQ(ShownAfter(keys), Shown(stitches, false)) << keys;
      EXPECT_EQ(Field(run.report, "shown"), Shown(rows, false)) << keys;
    }
  }
}

TEST(StraightLine, StitchesAndRowsToCentimetres) {
  const long counts[] = {110, 1, 57, 999, 9999, 240};
  for (const Gauge& g : kGauges) {
    for (long count : counts) {
      // cm = count * 10 / gauge; in tenths: count * 1000 / gauge-in-tenths
      const long width = RoundDiv(static_cast<long long>(count) * 1000, g.stitches);
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
}

TEST(StraightLine, OnlyTheGivenDirectionIsWorkedOut) {
  EXPECT_EQ(ShownAfter(GaugeKeys({220, 300}) + "FC 2 0 Y ="), "  60");
  EXPECT_EQ(ShownAfter(GaugeKeys({220, 300}) + "FC 2 0 Y = ="), "  60");
  EXPECT_EQ(ShownAfter(GaugeKeys({220, 300}) + "FD 6 0 R ="), " 20.0");
}

struct Swatch {
  long width, height;      // cm, tenths
  long stitches, rows;     // counted, tenths
};

const Swatch kSwatches[] = {
    {75, 80, 150, 240}, {100, 100, 220, 300}, {123, 77, 270, 230}, {150, 150, 333, 451}, {25, 30, 7, 11},
};

TEST(SwatchGauge, PerTenCentimetres) {
  for (const Swatch& s : kSwatches) {
    // per 10 cm = counted * 10 / size; in tenths: counted(tenths) * 100 / size(tenths)
    const long perStitch = RoundDiv(static_cast<long long>(s.stitches) * 100, s.width);
    const long perRow = RoundDiv(static_cast<long long>(s.rows) * 100, s.height);
    const std::string keys = "FB " + Type(s.width) + "X " + Type(s.height) + "Y " + Type(s.stitches) +
                             "S " + Type(s.rows) + "R =";
    EXPECT_EQ(ShownAfter(keys), Shown(perStitch, true)) << keys;
    EXPECT_EQ(ShownAfter(keys + " ="), Shown(perRow, true)) << keys;
    // and the gauge is then the one used for conversions
    const long stitches = RoundDiv(1000LL * perStitch, 1000);
    EXPECT_EQ(ShownAfter(keys + " FC 1 0 0 X ="), Shown(stitches, false)) << keys;
  }
}

TEST(SwatchGauge, APairLeftOutKeepsThatHalf) {
  EXPECT_EQ(ShownAfter(GaugeKeys({220, 300}) + "FB 5 X 1 5 S = ="), " 30.0");
  EXPECT_EQ(ShownAfter(GaugeKeys({220, 300}) + "FB 5 X 1 5 S ="), " 30.0");
}

// ---------------------------------------------------------------- errors and clears

struct ErrorCase {
  const char* keys;
  const char* why;
};

const ErrorCase kErrors[] = {
    {"S", "a letter before any function"},
    {"1 S", "a letter before any function"},
    {"FA S", "nothing typed"},
    {"FA 2 X", "the gauge takes no X"},
    {"FC 2 S", "centimetres to count takes no S"},
    {"FA 0 S 3 0 R =", "a zero gauge"},
    {"FA 2 2 S =", "half a gauge and none held"},
    {"FC 1 0 X =", "no gauge"},
    {"FD 1 0 S =", "no gauge"},
    {"FA 2 2 S 3 0 R = FC =", "no input"},
    {"FB 1 0 X =", "a swatch pair half given"},
    {"FB =", "nothing counted"},
    {"FB 0 X 5 S =", "a swatch of no width"},
    {"FA 9 9 9 . 9 S 1 R = FC 9 9 9 . 9 X =", "too many stitches for four digits"},
    {"FA 1 S 1 R = FD 9 9 9 9 S =", "too many centimetres for four digits"},
    {"FB 1 X 9 9 9 S =", "a gauge over 999.9"},
    {"FE =", "dividing with nothing given"},
    {"FI 3 2 X =", "a sleeve cap half given"},
};

class Errors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(Errors, ShowEAndBeep) {
  const RunResult run = RunFirmware(std::string("--keys '") + GetParam().keys + "'");
  EXPECT_EQ(Field(run.report, "shown"), "   E") << GetParam().why;
  EXPECT_EQ(Number(run.report, "beeps"), 2) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(Calculator, Errors, ::testing::ValuesIn(kErrors));

TEST(ErrorState, OnlyClearsAndSwitchesAct) {
  EXPECT_EQ(ShownAfter("S 5 5"), "   E");
  EXPECT_EQ(ShownAfter("S C"), "   0");
  EXPECT_EQ(ShownAfter("S C 5"), "   5");
  EXPECT_EQ(ShownAfter("S ACNG"), "   0");
  EXPECT_EQ(ShownAfter("S AC"), "   0");
  const RunResult run = RunFirmware("--keys 'S FN 7'");
  EXPECT_EQ(Inner(run.report, "lamps", "PRINT"), "true");
  EXPECT_EQ(Field(run.report, "shown"), "   E");
  EXPECT_EQ(Number(run.report, "beeps"), 3);
}

TEST(ErrorState, CKeepsTheFunctionAndItsInputs) {
  EXPECT_EQ(ShownAfter(GaugeKeys({220, 300}) + "FC 5 0 X 1 S C ="), " 110");
}

TEST(Clears, NoGaugeKeepsTheGaugeAllForgetsIt) {
  EXPECT_EQ(ShownAfter(GaugeKeys({220, 300}) + "ACNG FC 5 0 X ="), " 110");
  EXPECT_EQ(ShownAfter(GaugeKeys({220, 300}) + "AC FC 5 0 X ="), "   E");
  EXPECT_EQ(ShownAfter(GaugeKeys({220, 300}) + "FC 5 0 X ACNG ="), "   0");
}

TEST(Results, EqualsWithoutAFunctionDoesNothing) {
  EXPECT_EQ(ShownAfter("1 2 ="), "  12");
  EXPECT_EQ(ShownAfter("="), "   0");
}

TEST(Results, PEqualsStepsLikeEquals) {
  EXPECT_EQ(ShownAfter(GaugeKeys({220, 300}) + "FC 5 0 X 2 0 Y P= P="), "  60");
}

}  // namespace
