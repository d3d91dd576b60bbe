// The settings store over a temporary settings file: first-run defaults, a
// round trip of all twelve values, and values that must take their default.
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <tuple>

#include "app/settings_store.h"

namespace {

auto Fields(const Settings& s) {
  return std::tie(s.Sound, s.Font, s.Height, s.Weight, s.PointSize, s.DocName, s.Header, s.Footer, s.MarginLeft,
                  s.MarginRight, s.MarginTop, s.MarginBottom);
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

TEST_F(SettingsStore, FirstRunTakesTheMissingValueDefaultsAndSavesAllTwelve) {
  Settings defaults;
  defaults.Font = "Lucida Console";
  defaults.MarginTop = 50;  // the stored default, not the built-in 40
  const Settings first = Load();
  EXPECT_EQ(Fields(first), Fields(defaults));
  Save(first);
  QSettings reread(path_, QSettings::IniFormat);
  for (const char* name : {"Sound", "Font", "Height", "Weight", "PointSize", "DocName", "Header", "Footer",
                           "MarginLeft", "MarginRight", "MarginTop", "MarginBottom"})
    EXPECT_TRUE(reread.contains(QLatin1String(name))) << name;
  EXPECT_EQ(Fields(Load()), Fields(defaults));
}

TEST_F(SettingsStore, EveryValueSurvivesARoundTrip) {
  const Settings out{SOUND_NONE, "DejaVu Sans Mono", -14, 700, 10, "Sleeve, left", "&d &t", "Page &p", 150, 175, 30, 90};
  Save(out);
  EXPECT_EQ(Fields(Load()), Fields(out));
}

TEST_F(SettingsStore, OverlongTextsAndWrongNumbersTakeTheirDefaults) {
  {
    QSettings written(path_, QSettings::IniFormat);
    written.setValue("Header", QString(300, QLatin1Char('h')));
    written.setValue("Footer", QString(255, QLatin1Char('f')));
    written.setValue("Font", QStringList{QStringLiteral("a"), QStringLiteral("b")});
    written.setValue("Sound", QStringLiteral("loud"));
    written.setValue("Height", QStringLiteral("99999999999"));
    written.setValue("Weight", QStringList{QStringLiteral("1")});
    written.setValue("PointSize", 12);
  }
  const Settings settings = Load();
  EXPECT_EQ(settings.Header, "");
  EXPECT_EQ(settings.Footer, std::string(255, 'f'));
  EXPECT_EQ(settings.Font, "Lucida Console");
  EXPECT_EQ(settings.Sound, 64);
  EXPECT_EQ(settings.Height, -11);
  EXPECT_EQ(settings.Weight, 400);
  EXPECT_EQ(settings.PointSize, 12);
}

TEST_F(SettingsStore, AnUnreadableStoreLeavesTheBuiltInValues) {
  {
    QFile broken(path_);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("[General\nSound=\"unterminated\n\x01\x02");
  }
  QSettings reread(path_, QSettings::IniFormat);
  if (reread.status() == QSettings::NoError) GTEST_SKIP() << "this Qt reads the broken file";
  Settings builtIn, settings;
  builtIn.Sound = settings.Sound = 16;
  LoadSettings(settings, reread);
  EXPECT_EQ(Fields(settings), Fields(builtIn));
}

}  // namespace
