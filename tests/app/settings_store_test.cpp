// The settings store over a temporary settings file: a round trip of all
// twelve values whatever their script, and stored values (none, wild or
// unreadable) that must take their default or be brought into range.
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "app/settings_store.h"

namespace {

auto Fields(const Settings& s) {
  return std::tie(s.Sound, s.Font, s.Height, s.Weight, s.PointSize, s.DocName, s.Header, s.Footer, s.MarginLeft,
                  s.MarginRight, s.MarginTop, s.MarginBottom);
}

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  while (times-- > 0) text += piece;
  return text;
}

class SettingsStore : public ::testing::Test {
 protected:
  void Save(const Settings& settings) {
    QSettings file(path_, QSettings::IniFormat);
    SaveSettings(settings, file);
  }
  Settings Load(Settings settings = {}) {
    QSettings file(path_, QSettings::IniFormat);
    LoadSettings(settings, file);
    return settings;
  }
  QTemporaryDir folder_;
  QString path_ = folder_.filePath(QStringLiteral("tm650e.ini"));
};

// Texts are limited in characters: 255 two-byte letters are 510 bytes. Every
// sound the Select Sound dialog offers is kept as chosen.
TEST_F(SettingsStore, EveryValueSurvivesARoundTripWhateverItsScript) {
  Settings out{SOUND_NONE, "DejaVu Sans Mono", -14,  700, 10, "Ärmel, links", Repeat("é", 200),
               Repeat("ß", 255), 150, 175, 30, 90};
  for (const SoundChoice& choice : SoundChoices) {
    out.Sound = choice.soundCode;
    Save(out);
    EXPECT_EQ(Fields(Load()), Fields(out)) << choice.caption;
  }
}

// Values a hand-edited or damaged store may hold (none at all on a first
// run), and the record read.
TEST_F(SettingsStore, WildStoredValuesTakeTheirDefaultOrTheirNearestBound) {
  struct Case {
    std::vector<std::pair<const char*, QVariant>> stored;
    Settings read;
  };
  const Case cases[] = {
      {{}, {64, "Lucida Console", -11, 400, 8, "QPrint", "", "", 24, 24, 50, 19}},
      // An older store's margins in 600 dpi printer units become points once.
      {{{"MarginLeft", 200}, {"MarginRight", 600}, {"MarginTop", 50}},
       {64, "Lucida Console", -11, 400, 8, "QPrint", "", "", 24, 72, 50, 19}},
      {{{"MarginLeft", 200}, {"MarginBottom", 160}, {SETTINGS_VERSION_KEY, SETTINGS_VERSION}},
       {64, "Lucida Console", -11, 400, 8, "QPrint", "", "", 200, 24, 50, 160}},
      {{{"Sound", 5}, {"Height", INT_MIN}, {"Weight", -5}, {"PointSize", 0}, {"MarginLeft", -50},
        {"MarginRight", 99999999}, {"MarginTop", INT_MIN}, {"MarginBottom", INT_MAX},
        {"Header", QString(256, QChar(0xE9))}, {"Footer", QString(255, QChar(0xE9))}, {"Font", QStringList{"a"}}},
       {SOUND_ASTERISK, "Lucida Console", -FONT_PIXELS_MAX, 0, FONT_POINTS_MIN, "QPrint", "", Repeat("é", 255), 0,
        MARGIN_POINTS_MAX, 0, MARGIN_POINTS_MAX}},
      {{{"Sound", "loud"}, {"Height", INT_MAX}, {"Weight", QStringList{"1"}}, {"PointSize", 100000}, {"MarginTop", 2000}},
       {SOUND_ASTERISK, "Lucida Console", FONT_PIXELS_MAX, 400, FONT_POINTS_MAX, "QPrint", "", "", 24, 24,
        MARGIN_POINTS_MAX, 19}},
      {{{"Sound", SOUND_HAND}, {"Height", -1}},
       {SOUND_HAND, "Lucida Console", -FONT_PIXELS_MIN, 400, 8, "QPrint", "", "", 24, 24, 50, 19}},
      {{{"Height", 0}}, {64, "Lucida Console", 0, 400, 8, "QPrint", "", "", 24, 24, 50, 19}},
      {{{"Height", "99999999999"}}, {64, "Lucida Console", -11, 400, 8, "QPrint", "", "", 24, 24, 50, 19}},
  };
  for (const Case& c : cases) {
    QFile::remove(path_);
    for (const auto& [name, value] : c.stored) QSettings(path_, QSettings::IniFormat).setValue(name, value);
    EXPECT_EQ(Fields(Load()), Fields(c.read)) << "case " << (&c - cases);
  }
}

// A record that a dialog let run wild is stored within range, and a text
// over the limit is cut at a character, not inside one.
TEST_F(SettingsStore, WildValuesInTheRecordAreNeverSavedWild) {
  Settings wild{42, "Mono", INT_MIN, 99999, -3, "doc", Repeat("é", 300), "", -1, INT_MAX, -50, 123456};
  Save(wild);
  const Settings expected{SOUND_ASTERISK, "Mono", -FONT_PIXELS_MAX, FONT_WEIGHT_MAX, FONT_POINTS_MIN, "doc",
                          Repeat("é", SETTINGS_TEXT_MAX), "", 0, MARGIN_POINTS_MAX, 0, MARGIN_POINTS_MAX};
  EXPECT_EQ(Fields(Load()), Fields(expected));
}

// The built-in values differ from a first run's in two places: no font face
// and a top margin of 40.
TEST_F(SettingsStore, AnUnreadableStoreLeavesTheBuiltInValues) {
  {
    QFile broken(path_);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("[General\nSound=\"unterminated\n\x01\x02");
  }
  QSettings reread(path_, QSettings::IniFormat);
  if (reread.status() == QSettings::NoError) GTEST_SKIP() << "this Qt reads the broken file";
  Settings settings;
  LoadSettings(settings, reread);
  const Settings builtIn{64, "", -11, 400, 8, "QPrint", "", "", 24, 24, 40, 19};
  EXPECT_EQ(Fields(settings), Fields(builtIn));
}

}  // namespace
