// Dialog 113, "Page Setup": the four page margins as whole numbers of
// points from the paper's edges, beside a picture of the first page as it
// will print, which follows them as they are typed. OK refuses what is not a
// number and pulls a margin beyond its limit back, showing both.
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <array>

#include "app/settings.h"
#include "dialogs/center_over_owner.h"
#include "dialogs/dialog_units.h"
#include "print/dialog_controls.h"
#include "print/dialog_ids.h"
#include "print/margins_painter.h"
#include "print/page_margins.h"
#include "print/print_commands.h"

namespace {

class PageSetupDialog : public QDialog {
 public:
  PageSetupDialog(QWidget* owner, const Settings& settings, const QString& paper) : QDialog(owner) {
    setWindowTitle(QString::fromLatin1(PAGE_SETUP_TITLE));
    setFixedSize(DialogUnitsSize(PAGE_SETUP_WIDTH, PAGE_SETUP_HEIGHT));
    const QHash<int, QWidget*> controls = AddControls(this, PageSetupControls);
    picture_ = new MarginsPainter(paper, settings, this);
    picture_->setObjectName(ControlName(IDC_MARGINS_PICTURE));
    picture_->setGeometry(DialogUnitsRect(PlaceOf(PageSetupControls, IDC_MARGINS_PICTURE)));
    for (size_t i = 0; i < MarginFields.size(); ++i) {
      edits_[i] = static_cast<QLineEdit*>(controls.value(MarginFields[i].id));
      edits_[i]->setMaxLength(MARGIN_TEXT_MAX);
      edits_[i]->setText(QString::number(settings.*MarginFields[i].setting));
    }
    for (QLineEdit* edit : edits_) connect(edit, &QLineEdit::textChanged, this, &PageSetupDialog::ShowMarginsInPicture);
    for (int id : {IDC_SETUP_HEADER, IDC_SETUP_FOOTER})
      static_cast<QLineEdit*>(controls.value(id))->setMaxLength(MARGIN_TEXT_MAX);
    connect(static_cast<QPushButton*>(controls.value(IDC_SETUP_OK)), &QPushButton::clicked, this,
            &PageSetupDialog::AcceptValidMargins);
    connect(static_cast<QPushButton*>(controls.value(IDC_DIALOG_CANCEL)), &QPushButton::clicked, this,
            &QDialog::reject);
    ShowMarginsInPicture();
    CenterOverOwner(this, owner);
  }

  void StoreInto(Settings& settings) const {
    for (size_t i = 0; i < MarginFields.size(); ++i) settings.*MarginFields[i].setting = Typed(i).value_or(0);
  }

 private:
  std::optional<int32_t> Typed(size_t field) const {
    const std::optional<long long> number = WholeNumber(edits_[field]->text().toStdString());
    if (!number) return std::nullopt;
    return KeptMargin(*number);
  }

  // The picture shows each margin as typed, within its limits; a field that
  // is not (yet) a number shows as 0.
  void ShowMarginsInPicture() {
    if (!edits_.back()) return;  // still being built
    picture_->setMargins({Typed(0).value_or(0), Typed(2).value_or(0), Typed(1).value_or(0), Typed(3).value_or(0)});
  }

  void AcceptValidMargins() {
    std::array<std::string, 4> typed;
    for (size_t i = 0; i < typed.size(); ++i) typed[i] = edits_[i]->text().toStdString();
    const TypedMargins read = ReadMargins(typed);
    if (read.refused >= 0) {
      Refuse(static_cast<size_t>(read.refused), QString::fromStdString(read.message));
      return;
    }
    if (read.message.empty()) {
      accept();
      return;
    }
    for (size_t i = 0; i < typed.size(); ++i)
      if (read.pulledBack[i]) edits_[i]->setText(QString::number(read.kept[i]));
    QMessageBox::warning(this, windowTitle(), QString::fromStdString(read.message));
  }

  void Refuse(size_t field, const QString& message) {
    QMessageBox::warning(this, windowTitle(), message);
    edits_[field]->setFocus();
    edits_[field]->selectAll();
  }

  MarginsPainter* picture_ = nullptr;
  std::array<QLineEdit*, 4> edits_{};
};

}  // namespace

void RunPageSetup(QWidget* owner, Settings& settings, const QString& paper) {
  PageSetupDialog dialog(owner, settings, paper);
  if (dialog.exec() == QDialog::Accepted) dialog.StoreInto(settings);
}
