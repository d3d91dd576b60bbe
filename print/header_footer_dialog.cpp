// Dialog 112, "Header and Footer": edits the print job's document name and
// the header and footer templates. OK stores them, Cancel changes nothing.
// An edit takes no more characters than the settings keep, so nothing typed
// is lost without being seen.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/settings.h"
#include "dialogs/center_over_owner.h"
#include "dialogs/dialog_units.h"
#include "print/dialog_ids.h"
#include "print/print_commands.h"

namespace {

class HeaderFooterDialog : public QDialog {
 public:
  HeaderFooterDialog(QWidget* owner, const Settings& settings) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Header and Footer"));
    setFixedSize(DialogUnitsSize(379, 80));
    AddLabel("Name", QRect(5, 10, 35, 10));
    docName_ = AddEdit(IDC_DOC_NAME, QRect(50, 10, 320, 12), settings.DocName);
    AddLabel("Header", QRect(5, 25, 30, 10));
    header_ = AddEdit(IDC_HEADER_TEXT, QRect(50, 25, 320, 12), settings.Header);
    AddLabel("Footer", QRect(5, 40, 30, 10));
    footer_ = AddEdit(IDC_FOOTER_TEXT, QRect(50, 40, 320, 12), settings.Footer);
    AddButtons();
    CenterOverOwner(this, owner);
  }

  void StoreInto(Settings& settings) const {
    settings.DocName = ReadBack(docName_);
    settings.Header = ReadBack(header_);
    settings.Footer = ReadBack(footer_);
  }

 private:
  void AddLabel(const char* text, const QRect& at) {
    auto* label = new QLabel(QString::fromLatin1(text), this);
    label->setGeometry(DialogUnitsRect(at));
  }

  QLineEdit* AddEdit(int id, const QRect& at, const std::string& text) {
    auto* edit = new QLineEdit(this);
    edit->setMaxLength(static_cast<int>(SETTINGS_TEXT_MAX));
    edit->setToolTip(QStringLiteral("At most %1 characters").arg(SETTINGS_TEXT_MAX));
    edit->setText(QString::fromStdString(text));
    edit->setObjectName(ControlName(id));
    edit->setGeometry(DialogUnitsRect(at));
    return edit;
  }

  void AddButtons() {
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(ControlName(IDC_DIALOG_OK));
    ok->setGeometry(DialogUnitsRect(264, 60, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(ControlName(IDC_DIALOG_CANCEL));
    cancel->setGeometry(DialogUnitsRect(320, 60, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  }

  static std::string ReadBack(const QLineEdit* edit) { return edit->text().toStdString(); }

  QLineEdit* docName_;
  QLineEdit* header_;
  QLineEdit* footer_;
};

}  // namespace

void RunHeaderFooter(QWidget* owner, Settings& settings) {
  HeaderFooterDialog dialog(owner, settings);
  if (dialog.exec() == QDialog::Accepted) dialog.StoreInto(settings);
}
