// Accessible names from the face's legends and descriptions from the help
// book, so a control's spoken text and its F1 topic never disagree.
#include "frontpanel/accessible_text.h"

#include <QTextDocumentFragment>
#include <array>

#include "frontpanel/face_layout.h"
#include "frontpanel/help.h"
#include "resources/ids.h"

namespace {

struct ControlName {
  int id;
  const char* name;
};

// Where a legend alone is not enough: two keys read "AC", two "=", one "C"
// besides the function key C, and some controls have no legend at all.
constexpr std::array<ControlName, 10> Names{{
    {IDC_KEY_AC_ALL, "AC All"},
    {IDC_KEY_AC_NO_GAUGE, "AC No gauge"},
    {IDC_KEY_P_EQUALS, "P="},
    {IDC_KEY_C, "C Clear"},
    {IDC_PAPER_FEED, "PF Paper feed"},
    {IDC_PAPER_CLEAR, "Clear paper"},
    {IDC_POWER, "Power"},
    {IDC_PAPER, "Paper"},
    {IDC_FACE, "Chart of functions"},
    {IDC_ARC, "Arc diagram"},
}};

}  // namespace

QString AccessibleName(const ControlTemplate& item) {
  for (const ControlName& known : Names)
    if (known.id == item.id) return QLatin1String(known.name);
  return QLatin1String(item.text);
}

// "Heading: the topic's text."
QString AccessibleDescription(int controlId) {
  const QString plain = QTextDocumentFragment::fromHtml(HelpTopicHtml(controlId)).toPlainText();
  QStringList lines = plain.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  if (lines.isEmpty()) return QString();
  const QString heading = lines.takeFirst().trimmed();
  return lines.isEmpty() ? heading : (heading + QStringLiteral(": ") + lines.join(QLatin1Char(' '))).simplified();
}

QString LampAccessibleName(const QString& caption, bool lit) {
  return QStringLiteral("%1 lamp: %2").arg(caption, lit ? QStringLiteral("lit") : QStringLiteral("dark"));
}

QString PowerAccessibleDescription(bool on) {
  return on ? QStringLiteral("The device is on; a click switches it off.")
            : QStringLiteral("The device is off; a click switches it on.");
}
