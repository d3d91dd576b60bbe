// Tools > Font...: a font dialog that offers fixed-pitch fonts only. The
// choice serves the paper pane at once and the printout from the next job.
#include "print/font_choice.h"

#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "app/settings.h"
#include "print/print_commands.h"

namespace {

constexpr int WEIGHT_MIN = 1;
constexpr int WEIGHT_MAX = 1000;

int ScreenDpi(const QWidget* owner) {
  const QScreen* screen = owner ? owner->screen() : nullptr;
  return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
}

// The size in tenths of a point, as a font dialog reports it.
int TenthsOfPoint(const QFont& font, int dpi) {
  if (font.pointSizeF() > 0) return static_cast<int>(std::lround(font.pointSizeF() * 10));
  return static_cast<int>(std::lround(font.pixelSize() * 720.0 / dpi));
}

QString FirstFixedPitchFamily() {
  for (const QString& family : QFontDatabase::families())
    if (QFontDatabase::isFixedPitch(family) && !QFontDatabase::isPrivateFamily(family)) return family;
  return {};
}

// The upright style of `family` at `weight`, else its first upright style.
QString UprightStyle(const QString& family, int weight) {
  QString upright;
  for (const QString& style : QFontDatabase::styles(family)) {
    if (QFontDatabase::font(family, style, 12).style() != QFont::StyleNormal) continue;  // italic or oblique
    if (QFontDatabase::weight(family, style) == weight) return style;
    if (upright.isEmpty()) upright = style;
  }
  return upright;
}

// The pane font as the fixed-pitch list can show it: the installed family
// that stands for it, or the first fixed-pitch family, in its upright style,
// so the dialog does not open on some other family's first (italic) style.
QFont InitialDialogFont(const Settings& settings) {
  QFont font = PaneFontFromSettings(settings);
  QString family = QFontInfo(font).family();
  if (!QFontDatabase::isFixedPitch(family)) family = FirstFixedPitchFamily();
  font.setFamily(family);
  font.setStyleName(UprightStyle(family, font.weight()));
  return font;
}

}  // namespace

void StoreChosenFont(const QFont& font, int dpi, Settings& settings) {
  const int tenths = TenthsOfPoint(font, dpi);
  settings.Font = font.family().left(static_cast<qsizetype>(SETTINGS_TEXT_MAX)).toStdString();
  settings.Height = font.pixelSize() > 0 ? -font.pixelSize()
                                         : -static_cast<int32_t>(std::lround(tenths * dpi / 720.0));
  settings.Weight = font.weight();
  settings.PointSize = tenths / 10;
}

QFont PaneFontFromSettings(const Settings& settings) {
  QFont font(QString::fromStdString(settings.Font));
  if (settings.Height != 0) font.setPixelSize(std::abs(ClampFontHeight(settings.Height)));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(settings.Weight, WEIGHT_MIN, WEIGHT_MAX)));
  return font;
}

bool ChooseFont(QWidget* owner, Settings& settings, QFont& chosen) {
  QFontDialog dialog(owner);
  dialog.setOptions(QFontDialog::MonospacedFonts | QFontDialog::DontUseNativeDialog);
  // Setting the font after the options makes the dialog list only fixed-pitch families.
  dialog.setCurrentFont(InitialDialogFont(settings));
  if (dialog.exec() != QDialog::Accepted) return false;
  chosen = dialog.selectedFont();
  StoreChosenFont(chosen, ScreenDpi(owner), settings);
  return true;
}
