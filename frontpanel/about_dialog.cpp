// The About box: each static's template text names the version value it
// shows. The texts are laid out by their own size, so no font or zoom clips
// them; the template's size is the least the box takes.
#include "frontpanel/about_dialog.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/center_over_owner.h"
#include "dialogs/dialog_units.h"
#include "frontpanel/builtin_resources.h"
#include "frontpanel/version_record.h"

namespace {

constexpr int ABOUT_WIDTH_DU = 269;
constexpr int ABOUT_HEIGHT_DU = 95;

struct AboutText {
  int controlId;
  const char* valueName;
};

// Top to bottom; the product name and its version share a line.
constexpr AboutText Company{1001, "CompanyName"};
constexpr AboutText Product{1002, "ProductName"};
constexpr AboutText Version{1003, "ProductVersion"};
constexpr AboutText Description{1000, "FileDescription"};
constexpr AboutText Copyright{1004, "LegalCopyright"};
constexpr AboutText Trademarks{1005, "LegalTrademarks"};

}  // namespace

AboutDialog::AboutDialog(const VersionRecord& record, QWidget* owner) : QDialog(owner) {
  EnsureBuiltinResources();
  setWindowTitle(QStringLiteral("About..."));
  const std::optional<QString> prefix = record.stringPrefix();
  auto text = [&](const AboutText& item) {
    auto* label = new QLabel(QLatin1String(item.valueName), this);
    label->setObjectName(QStringLiteral("ctl%1").arg(item.controlId));
    if (prefix) {
      if (std::optional<QString> value = record.query(*prefix + label->text())) label->setText(value->left(255));
    }
    return label;
  };

  icon_ = new QLabel(this);

  QLabel* product = text(Product);
  QFont bold;  // only the weight: size and face still follow the dialog's font
  bold.setBold(true);
  product->setFont(bold);
  auto* productLine = new QHBoxLayout;
  productLine->addWidget(product);
  productLine->addSpacing(DialogUnitsToPixelsX(5));
  productLine->addWidget(text(Version));
  productLine->addStretch();

  auto* rule = new QFrame(this);
  rule->setObjectName(QStringLiteral("ctl501"));
  rule->setFixedHeight(1);
  rule->setStyleSheet(QStringLiteral("background: black"));

  auto* texts = new QVBoxLayout;
  texts->addWidget(text(Company));
  texts->addSpacing(DialogUnitsToPixelsY(4));
  texts->addLayout(productLine);
  texts->addWidget(text(Description));
  texts->addSpacing(DialogUnitsToPixelsY(4));
  texts->addWidget(rule);
  texts->addSpacing(DialogUnitsToPixelsY(4));
  texts->addWidget(text(Copyright));
  texts->addWidget(text(Trademarks));
  texts->addStretch();

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("ctl1"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addStretch();

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(DialogUnitsToPixelsX(15), DialogUnitsToPixelsY(10), DialogUnitsToPixelsX(7),
                             DialogUnitsToPixelsY(7));
  layout->setSpacing(DialogUnitsToPixelsX(8));
  layout->addWidget(icon_, 0, Qt::AlignTop);
  layout->addLayout(texts, 1);
  layout->addLayout(buttons);
  fitToContents();
}

void AboutDialog::fitToContents() {
  icon_->setPixmap(ProgramIcon().pixmap(std::max(32, 2 * fontMetrics().height())));
  setFixedSize(layout()->sizeHint().expandedTo(DialogUnitsSize(ABOUT_WIDTH_DU, ABOUT_HEIGHT_DU)));
}

QLabel* AboutDialog::text(int controlId) const {
  return findChild<QLabel*>(QStringLiteral("ctl%1").arg(controlId));
}

void AboutDialog::showEvent(QShowEvent* event) {
  fitToContents();  // the font may have changed since the box was made
  QDialog::showEvent(event);
  CenterOverOwner(this, parentWidget());
}
