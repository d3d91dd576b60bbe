// Dialog 113, "Page Setup": the four page margins as whole numbers of
// points from the paper's edges, beside a picture of the first page as it
// will print, which follows them as they are typed. OK refuses what is not a
// number and pulls a margin beyond its limit back, showing both.
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
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
  QRect labelAt, editAt;  // dialog units
  const char* label;
};

constexpr std::array<MarginField, 4> Fields{{
    {"left", IDC_MARGIN_LEFT, &Settings::MarginLeft, {10, 25, 45, 10}, {60, 20, 40, 12}, "Left:"},
    {"right", IDC_MARGIN_RIGHT, &Settings::MarginRight, {120, 25, 40, 7}, {170, 20, 40, 12}, "Right:"},
    {"top", IDC_MARGIN_TOP, &Settings::MarginTop, {10, 50, 45, 7}, {60, 45, 40, 12}, "Top:"},
    {"bottom", IDC_MARGIN_BOTTOM, &Settings::MarginBottom, {120, 50, 40, 7}, {170, 45, 40, 12}, "Bottom:"},
}};

int Kept(long long value) { return static_cast<int>(std::clamp<long long>(value, 0, MARGIN_POINTS_MAX)); }

class PageSetupDialog : public QDialog {
 public:
  PageSetupDialog(QWidget* owner, const Settings& settings, const QString& paper) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Page Setup"));
    setFixedSize(DialogUnitsSize(335, 161));
    (new QGroupBox(QStringLiteral("Margins (points)"), this))->setGeometry(DialogUnitsRect(5, 5, 215, 90));
    AddPicture(paper, settings);
    for (size_t i = 0; i < Fields.size(); ++i) edits_[i] = AddMargin(Fields[i], settings.*Fields[i].setting);
    AddUnusedField("Header:", QRect(10, 75, 40, 10), IDC_SETUP_HEADER, QRect(60, 70, 40, 12));
    AddUnusedField("Footer", QRect(120, 75, 45, 7), IDC_SETUP_FOOTER, QRect(170, 70, 40, 12));
    AddLabel("From the paper's edges; 72 points make an inch (25.4 mm).", QRect(10, 100, 210, 13));
    AddLabel("The dark grey area is the non-printable area.", QRect(10, 117, 210, 13));
    AddButtons();
    ShowMarginsInPicture();
    CenterOverOwner(this, owner);
  }

  void StoreInto(Settings& settings) const {
    for (size_t i = 0; i < Fields.size(); ++i)
      settings.*Fields[i].setting = Kept(WholeNumber(edits_[i]->text()).value_or(0));
  }

 private:
  QLabel* AddLabel(const char* text, const QRect& at) {
    auto* label = new QLabel(QString::fromLatin1(text), this);
    label->setGeometry(DialogUnitsRect(at));
    return label;
  }

  QLineEdit* AddEdit(int id, const QRect& at) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(ControlName(id));
    edit->setGeometry(DialogUnitsRect(at));
    edit->setMaxLength(MARGIN_TEXT_MAX);
    return edit;
  }

  QLineEdit* AddMargin(const MarginField& field, int32_t value) {
    AddLabel(field.label, field.labelAt);
    QLineEdit* edit = AddEdit(field.id, field.editAt);
    edit->setText(QString::number(value));
    connect(edit, &QLineEdit::textChanged, this, &PageSetupDialog::ShowMarginsInPicture);
    return edit;
  }

  // The header and footer fields are placeholders: never filled nor read.
  void AddUnusedField(const char* label, const QRect& labelAt, int id, const QRect& editAt) {
    AddLabel(label, labelAt)->setEnabled(false);
    AddEdit(id, editAt)->setReadOnly(true);
  }

  void AddPicture(const QString& paper, const Settings& settings) {
    picture_ = new MarginsPainter(paper, settings, this);
    picture_->setObjectName(ControlName(IDC_MARGINS_PICTURE));
    picture_->setGeometry(DialogUnitsRect(230, 10, 90, 120));
  }

  void AddButtons() {
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(ControlName(IDC_SETUP_OK));
    ok->setGeometry(DialogUnitsRect(220, 140, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &PageSetupDialog::AcceptValidMargins);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(ControlName(IDC_DIALOG_CANCEL));
    cancel->setGeometry(DialogUnitsRect(275, 140, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  }

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
