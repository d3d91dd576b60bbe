// Printing dialogs' controls from their tables, in the tables' order, which
// is also the order of the Tab key.
#include "print/dialog_controls.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/dialog_units.h"
#include "print/dialog_ids.h"

namespace {

QWidget* MakeControl(QWidget* dialog, const DialogControl& c) {
  const QString text = QString::fromLatin1(c.text);
  switch (c.kind) {
    case DialogControlKind::Label: return new QLabel(text, dialog);
    case DialogControlKind::DisabledLabel: {
      auto* label = new QLabel(text, dialog);
      label->setEnabled(false);
      return label;
    }
    case DialogControlKind::Group: return new QGroupBox(text, dialog);
    case DialogControlKind::Edit: return new QLineEdit(dialog);
    case DialogControlKind::ReadOnlyEdit: {
      auto* edit = new QLineEdit(dialog);
      edit->setReadOnly(true);
      return edit;
    }
    case DialogControlKind::Picture: return nullptr;
    case DialogControlKind::DefaultButton: {
      auto* button = new QPushButton(text, dialog);
      button->setDefault(true);
      return button;
    }
    case DialogControlKind::Button: return new QPushButton(text, dialog);
  }
  return nullptr;
}

}  // namespace

QHash<int, QWidget*> AddControls(QWidget* dialog, std::span<const DialogControl> controls) {
  QHash<int, QWidget*> made;
  for (const DialogControl& c : controls) {
    QWidget* control = MakeControl(dialog, c);
    if (!control) continue;
    control->setGeometry(DialogUnitsRect(c.x, c.y, c.width, c.height));
    if (c.id < 0) continue;
    control->setObjectName(ControlName(c.id));
    made.insert(c.id, control);
  }
  return made;
}

QRect PlaceOf(std::span<const DialogControl> controls, int id) {
  for (const DialogControl& c : controls)
    if (c.id == id) return QRect(c.x, c.y, c.width, c.height);
  return {};
}
