// Dialog 113, "Page Setup": the four page margins as whole numbers, read back
// the way atoi reads them (no range check), beside the margins picture.
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>
#include <cstdlib>

#include "app/settings.h"
#include "dialogs/center_over_owner.h"
#include "print/dialog_ids.h"
#include "dialogs/dialog_units.h"
#include "print/margins_painter.h"
#include "print/page_setup_dialog.h"
#include "print/print_commands.h"

namespace {

constexpr int MARGIN_TEXT_MAX = 30;  // characters read back from an edit

class PageSetupDialog : public QDialog {
 public:
  PageSetupDialog(QWidget* owner, const Settings& settings) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Page Setup"));
    setFixedSize(DialogUnitsSize(335, 161));
    (new QGroupBox(QStringLiteral("Margins (points)"), this))->setGeometry(DialogUnitsRect(5, 5, 215, 90));
    left_ = AddMargin("Left:", QRect(10, 25, 45, 10), IDC_MARGIN_LEFT, QRect(60, 20, 40, 12), settings.MarginLeft);
    right_ = AddMargin("Right:", QRect(120, 25, 40, 7), IDC_MARGIN_RIGHT, QRect(170, 20, 40, 12), settings.MarginRight);
    top_ = AddMargin("Top:", QRect(10, 50, 45, 7), IDC_MARGIN_TOP, QRect(60, 45, 40, 12), settings.MarginTop);
    bottom_ = AddMargin("Bottom:", QRect(120, 50, 40, 7), IDC_MARGIN_BOTTOM, QRect(170, 45, 40, 12), settings.MarginBottom);
    AddUnusedField("Header:", QRect(10, 75, 40, 10), IDC_SETUP_HEADER, QRect(60, 70, 40, 12));
    AddUnusedField("Footer", QRect(120, 75, 45, 7), IDC_SETUP_FOOTER, QRect(170, 70, 40, 12));
    AddPicture();
    AddLabel("The dark grey area is the non-printable area.", QRect(10, 117, 210, 13));
    AddButtons();
    CenterOverOwner(this, owner);
  }

  void StoreInto(Settings& settings) const {
    settings.MarginLeft = ReadMargin(left_);
    settings.MarginRight = ReadMargin(right_);
    settings.MarginTop = ReadMargin(top_);
    settings.MarginBottom = ReadMargin(bottom_);
  }

 private:
  QRect Du(const QRect& at) const { return DialogUnitsRect(at.x(), at.y(), at.width(), at.height()); }

  QLabel* AddLabel(const char* text, const QRect& at) {
    auto* label = new QLabel(QString::fromLatin1(text), this);
    label->setGeometry(Du(at));
    return label;
  }

  QLineEdit* AddEdit(int id, const QRect& at) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(ControlName(id));
    edit->setGeometry(Du(at));
    return edit;
  }

  QLineEdit* AddMargin(const char* label, const QRect& labelAt, int id, const QRect& editAt, int32_t value) {
    AddLabel(label, labelAt);
    QLineEdit* edit = AddEdit(id, editAt);
    edit->setText(QString::number(value));
    return edit;
  }

  // The header and footer fields are placeholders: never filled nor read.
  void AddUnusedField(const char* label, const QRect& labelAt, int id, const QRect& editAt) {
    AddLabel(label, labelAt)->setEnabled(false);
    AddEdit(id, editAt)->setReadOnly(true);
  }

  void AddPicture() {
    auto* picture = new MarginsPainter(this);
    picture->setObjectName(ControlName(IDC_MARGINS_PICTURE));
    picture->setGeometry(Du(QRect(230, 10, 90, 120)));
  }

  void AddButtons() {
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(ControlName(IDC_SETUP_OK));
    ok->setGeometry(Du(QRect(220, 140, 50, 14)));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(ControlName(IDC_DIALOG_CANCEL));
    cancel->setGeometry(Du(QRect(275, 140, 50, 14)));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  }

  static int32_t ReadMargin(const QLineEdit* edit) { return MarginFromText(edit->text().left(MARGIN_TEXT_MAX)); }

  QLineEdit* left_;
  QLineEdit* right_;
  QLineEdit* top_;
  QLineEdit* bottom_;
};

}  // namespace

int32_t MarginFromText(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return static_cast<int32_t>(std::strtol(bytes.constData(), nullptr, 10));
}

void RunPageSetup(QWidget* owner, Settings& settings) {
  PageSetupDialog dialog(owner, settings);
  if (dialog.exec() == QDialog::Accepted) dialog.StoreInto(settings);
}
