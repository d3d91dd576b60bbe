// Dialog 113, "Page Setup": the four page margins as whole numbers of
// points from the paper's edges, beside a picture of the first page as it
// will print, which follows them as they are typed. OK refuses what is not a
// number and pulls a margin beyond its limit back, showing both.
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <climits>

#include "app/settings.h"
#include "dialogs/center_over_owner.h"
#include "dialogs/dialog_units.h"
#include "print/dialog_controls.h"
#include "print/dialog_ids.h"
#include "print/margins_painter.h"
#include "print/page_setup_dialog.h"
#include "print/print_commands.h"

namespace {

constexpr int MARGIN_TEXT_MAX = 30;  // characters an edit takes

struct MarginField {
  const char* name;  // as the messages call it
  int id;
  int32_t Settings::*setting;
};

constexpr std::array<MarginField, 4> Fields{{
    {"left", IDC_MARGIN_LEFT, &Settings::MarginLeft},
    {"right", IDC_MARGIN_RIGHT, &Settings::MarginRight},
    {"top", IDC_MARGIN_TOP, &Settings::MarginTop},
    {"bottom", IDC_MARGIN_BOTTOM, &Settings::MarginBottom},
}};

int Kept(long long value) { return static_cast<int>(std::clamp<long long>(value, 0, MARGIN_POINTS_MAX)); }

class PageSetupDialog : public QDialog {
 public:
  PageSetupDialog(QWidget* owner, const Settings& settings, const QString& paper) : QDialog(owner) {
    setWindowTitle(QString::fromLatin1(PAGE_SETUP_TITLE));
    setFixedSize(DialogUnitsSize(PAGE_SETUP_WIDTH, PAGE_SETUP_HEIGHT));
    const QHash<int, QWidget*> controls = AddControls(this, PageSetupControls);
    picture_ = new MarginsPainter(paper, settings, this);
    picture_->setObjectName(ControlName(IDC_MARGINS_PICTURE));
    picture_->setGeometry(DialogUnitsRect(PlaceOf(PageSetupControls, IDC_MARGINS_PICTURE)));
    for (size_t i = 0; i < Fields.size(); ++i) {
      edits_[i] = static_cast<QLineEdit*>(controls.value(Fields[i].id));
      edits_[i]->setMaxLength(MARGIN_TEXT_MAX);
      edits_[i]->setText(QString::number(settings.*Fields[i].setting));
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
    for (size_t i = 0; i < Fields.size(); ++i)
      settings.*Fields[i].setting = Kept(WholeNumber(edits_[i]->text()).value_or(0));
  }

 private:
  // The picture shows each margin as typed, within its limits; a field that
  // is not (yet) a number shows as 0.
  void ShowMarginsInPicture() {
    if (!edits_.back()) return;  // still being built
    std::array<int, 4> kept{};
    for (size_t i = 0; i < Fields.size(); ++i) kept[i] = Kept(WholeNumber(edits_[i]->text()).value_or(0));
    picture_->setMargins({kept[0], kept[2], kept[1], kept[3]});
  }

  void AcceptValidMargins() {
    for (size_t i = 0; i < Fields.size(); ++i) {
      if (WholeNumber(edits_[i]->text())) continue;
      Refuse(i, QStringLiteral("The %1 margin must be a whole number.").arg(QLatin1String(Fields[i].name)));
      return;
    }
    QStringList pulledBack;
    for (size_t i = 0; i < Fields.size(); ++i) {
      const long long typed = *WholeNumber(edits_[i]->text());
      const int kept = Kept(typed);
      if (kept == typed) continue;
      edits_[i]->setText(QString::number(kept));
      pulledBack << QStringLiteral("%1 %2").arg(QLatin1String(Fields[i].name)).arg(kept);
    }
    if (pulledBack.isEmpty()) {
      accept();
      return;
    }
    QMessageBox::warning(this, windowTitle(),
                         QStringLiteral("Margins are kept within the page: from 0 to %1 points (4 inches).\n\n"
                                        "Now: %2. Press OK again to keep them.")
                             .arg(MARGIN_POINTS_MAX).arg(pulledBack.join(QStringLiteral(", "))));
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

std::optional<long long> WholeNumber(const QString& text) {
  static const QRegularExpression whole(QStringLiteral("^\\s*([+-]?)([0-9]+)\\s*$"));
  const QRegularExpressionMatch match = whole.match(text);
  if (!match.hasMatch()) return std::nullopt;
  const bool negative = match.captured(1) == QLatin1String("-");
  bool fits = false;
  const long long magnitude = match.captured(2).toLongLong(&fits);
  if (!fits) return negative ? LLONG_MIN : LLONG_MAX;
  return negative ? -magnitude : magnitude;
}

void RunPageSetup(QWidget* owner, Settings& settings, const QString& paper) {
  PageSetupDialog dialog(owner, settings, paper);
  if (dialog.exec() == QDialog::Accepted) dialog.StoreInto(settings);
}
