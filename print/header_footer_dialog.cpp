// Dialog 112, "Header and Footer": edits the print job's document name and
// the header and footer templates. OK stores them, Cancel changes nothing.
// An edit takes no more characters than the settings keep, so nothing typed
// is lost without being seen.
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "app/settings.h"
#include "dialogs/center_over_owner.h"
#include "dialogs/dialog_units.h"
#include "print/dialog_controls.h"
#include "print/dialog_ids.h"
#include "print/print_commands.h"

namespace {

class HeaderFooterDialog : public QDialog {
 public:
  HeaderFooterDialog(QWidget* owner, const Settings& settings) : QDialog(owner) {
    setWindowTitle(QString::fromLatin1(HEADER_FOOTER_TITLE));
    setFixedSize(DialogUnitsSize(HEADER_FOOTER_WIDTH, HEADER_FOOTER_HEIGHT));
    const QHash<int, QWidget*> controls = AddControls(this, HeaderFooterControls);
    docName_ = Filled(controls.value(IDC_DOC_NAME), settings.DocName);
    header_ = Filled(controls.value(IDC_HEADER_TEXT), settings.Header);
    footer_ = Filled(controls.value(IDC_FOOTER_TEXT), settings.Footer);
    connect(static_cast<QPushButton*>(controls.value(IDC_DIALOG_OK)), &QPushButton::clicked, this, &QDialog::accept);
    connect(static_cast<QPushButton*>(controls.value(IDC_DIALOG_CANCEL)), &QPushButton::clicked, this,
            &QDialog::reject);
    CenterOverOwner(this, owner);
  }

  void StoreInto(Settings& settings) const {
    settings.DocName = ReadBack(docName_);
    settings.Header = ReadBack(header_);
    settings.Footer = ReadBack(footer_);
  }

 private:
  static QLineEdit* Filled(QWidget* control, const std::string& text) {
    auto* edit = static_cast<QLineEdit*>(control);
    edit->setMaxLength(static_cast<int>(SETTINGS_TEXT_MAX));
    edit->setToolTip(QStringLiteral("At most %1 characters").arg(SETTINGS_TEXT_MAX));
    edit->setText(QString::fromStdString(text));
    return edit;
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
