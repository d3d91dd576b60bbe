// The About box: each static's template text names the version value it shows.
#include "frontpanel/about_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <array>

#include "frontpanel/builtin_resources.h"
#include "dialogs/center_over_owner.h"
#include "frontpanel/face_layout.h"
#include "frontpanel/version_record.h"

namespace {

struct AboutText {
  int controlId;
  int x, y, width, height;  // dialog units
  const char* valueName;
};

constexpr std::array<AboutText, 6> Texts{{
    {1000, 55, 35, 160, 8, "FileDescription"},
    {1001, 55, 10, 100, 8, "CompanyName"},
    {1002, 55, 25, 100, 13, "ProductName"},
    {1003, 160, 25, 32, 8, "ProductVersion"},
    {1004, 55, 60, 180, 8, "LegalCopyright"},
    {1005, 55, 70, 180, 8, "LegalTrademarks"},
}};

QRect Du(int x, int y, int width, int height) { return DialogRect({0, ControlKind::Label, x, y, width, height, ""}); }

}  // namespace

AboutDialog::AboutDialog(const VersionRecord& record, QWidget* owner) : QDialog(owner) {
  EnsureBuiltinResources();
  setWindowTitle(QStringLiteral("About..."));
  setFixedSize(DialogUnitsToPixelsX(269), DialogUnitsToPixelsY(95));

  auto* icon = new QLabel(this);
  icon->setPixmap(QPixmap(QStringLiteral(":/images/icon.png")).scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  icon->setGeometry(Du(15, 15, 21, 20));

  auto* rule = new QFrame(this);
  rule->setObjectName(QStringLiteral("ctl501"));
  rule->setGeometry(Du(55, 50, 180, 1));
  rule->setStyleSheet(QStringLiteral("background: black"));

  const std::optional<QString> prefix = record.stringPrefix();
  for (const AboutText& item : Texts) {
    auto* label = new QLabel(QLatin1String(item.valueName), this);
    label->setObjectName(QStringLiteral("ctl%1").arg(item.controlId));
    label->setGeometry(Du(item.x, item.y, item.width, item.height));
    if (prefix) {
      if (std::optional<QString> value = record.query(*prefix + label->text())) label->setText(value->left(255));
    }
    label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
  }
  QLabel* product = text(1002);
  QFont bold = product->font();
  bold.setBold(true);
  product->setFont(bold);
  product->resize(std::max(product->width(), product->sizeHint().width()), product->height());

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("ctl1"));
  ok->setDefault(true);
  ok->setGeometry(Du(212, 7, 50, 14));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QLabel* AboutDialog::text(int controlId) const {
  return findChild<QLabel*>(QStringLiteral("ctl%1").arg(controlId));
}

void AboutDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CenterOverOwner(this, parentWidget());
}
