// The display's container and its accessible face: one static text with no
// children, so the painted segments do not show up as nameless parts.
#include "frontpanel/display_panel.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

class DisplayAccessible : public QAccessibleWidget {
 public:
  explicit DisplayAccessible(QWidget* panel) : QAccessibleWidget(panel, QAccessible::StaticText) {}
  int childCount() const override { return 0; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
};

// Asked for every object's interface, class by class: it answers only for
// the display.
QAccessibleInterface* DisplayInterface(const QString&, QObject* object) {
  auto* panel = dynamic_cast<DisplayPanel*>(object);
  return panel ? new DisplayAccessible(panel) : nullptr;
}

}  // namespace

QString DisplayText(const DigitState& digits) {
  const QString text = QString::fromLatin1(ShownText(digits)).trimmed();
  return text.isEmpty() ? QStringLiteral("blank") : text;
}

DisplayPanel::DisplayPanel(QWidget* parent) : QWidget(parent) {
  static const bool installed = (QAccessible::installFactory(DisplayInterface), true);
  (void)installed;
  setAccessibleDescription(QStringLiteral("Display"));
  showText(QStringLiteral("blank"));
}

void DisplayPanel::showText(const QString& text) {
  if (accessibleName() != text) setAccessibleName(text);
}
