// The settings store over a temporary settings file: first-run defaults, a
// round trip of all twelve values, and values that must take their default.
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/settings_store.h"

namespace {

class SettingsStore : public ::testing::Test {
 protected:
  QString path() const { return folder_.filePath(QStringLiteral("tm650e.ini")); }
  QTemporaryDir folder_;
};

const char* const AllNames[] = {"Sound",   "Font",   "Height", "Weight",     "PointSize",   "DocName",
                                "Header",  "Footer", "MarginLeft", "MarginRight", "MarginTop", "MarginBottom"};

TEST_F(SettingsStore, FirstRunTakesTheMissingValueDefaultsAndSavesAllTwelve) {
  Settings settings;
  {
    QSettings empty(path(), QSettings::IniFormat);
    LoadSettings(settings, empty);
  }
  EXPECT_EQ(settings.Sound, 64);
  EXPECT_EQ(settings.Font, "Lucida Console");
  EXPECT_EQ(settings.Height, -11);
  EXPECT_EQ(settings.Weight, 400);
  EXPECT_EQ(settings.PointSize, 8);
  EXPECT_EQ(settings.DocName, "QPrint");
  EXPECT_EQ(settings.Header, "");
  EXPECT_EQ(settings.Footer, "");
  EXPECT_EQ(settings.MarginLeft, 200);
  EXPECT_EQ(settings.MarginRight, 200);
  EXPECT_EQ(settings.MarginTop, 50);
  EXPECT_EQ(settings.MarginBottom, 160);
  {
    QSettings written(path(), QSettings::IniFormat);
    SaveSettings(settings, written);
  }
  QSettings reread(path(), QSettings::IniFormat);
  for (const char* name : AllNames) EXPECT_TRUE(reread.contains(QLatin1String(name))) << name;
  EXPECT_EQ(reread.value("Header").toString(), QString());
}

TEST_F(SettingsStore, EveryValueSurvivesARoundTrip) {
  Settings out;
  out.Sound = SOUND_NONE;
  out.Font = "DejaVu Sans Mono";
  out.Height = -14;
  out.Weight = 700;
  out.PointSize = 10;
  out.DocName = "Sleeve, left";
  out.Header = "&d &t";
  out.Footer = "Page &p";
  out.MarginLeft = 150;
  out.MarginRight = 175;
  out.MarginTop = 30;
  out.MarginBottom = 90;
  {
    QSettings written(path(), QSettings::IniFormat);
    SaveSettings(out, written);
  }
  Settings in;
  QSettings reread(path(), QSettings::IniFormat);
  LoadSettings(in, reread);
  EXPECT_EQ(in.Sound, -2);
  EXPECT_EQ(in.Font, out.Font);
  EXPECT_EQ(in.Height, -14);
  EXPECT_EQ(in.Weight, 700);
  EXPECT_EQ(in.PointSize, 10);
  EXPECT_EQ(in.DocName, "Sleeve, left");
  EXPECT_EQ(in.Header, "&d &t");
  EXPECT_EQ(in.Footer, "Page &p");
  EXPECT_EQ(in.MarginLeft, 150);
  EXPECT_EQ(in.MarginRight, 175);
  EXPECT_EQ(in.MarginTop, 30);
  EXPECT_EQ(in.MarginBottom, 90);
}

TEST_F(SettingsStore, OverlongTextsAndWrongNumbersTakeTheirDefaults) {
  {
    QSettings written(path(), QSettings::IniFormat);
    written.setValue("Header", QString(300, QLatin1Char('h')));
    written.setValue("Footer", QString(255, QLatin1Char('f')));
    written.setValue("Font", QStringList{QStringLiteral("a"), QStringLiteral("b")});
    written.setValue("Sound", QStringLiteral("loud"));
    written.setValue("Height", QStringLiteral("99999999999"));
    written.setValue("Weight", QStringList{QStringLiteral("1")});
    written.setValue("PointSize", 12);
  }
  Settings settings;
  QSettings reread(path(), QSettings::IniFormat);
  LoadSettings(settings, reread);
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
    QFile broken(path());
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("[General\nSound=\"unterminated\n\x01\x02");
  }
  Settings settings;
  settings.Sound = 16;
  QSettings reread(path(), QSettings::IniFormat);
  if (reread.status() == QSettings::NoError) GTEST_SKIP() << "this Qt reads the broken file";
  LoadSettings(settings, reread);
  EXPECT_EQ(settings.Sound, 16);
  EXPECT_EQ(settings.Font, "");
  EXPECT_EQ(settings.MarginTop, 40);
}

}  // namespace
