// The Select Sound dialog: a group of radio buttons, one per known sound, OK, Cancel and
// Play, which sounds the highlighted choice as a beep of the device would.
#include "frontpanel/sound_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/settings.h"
#include "dialogs/center_over_owner.h"
#include "dialogs/dialog_units.h"
#include "frontpanel/sound.h"

SoundDialog::SoundDialog(int32_t& sound, QWidget* owner, SoundLayer* layer)
    : QDialog(owner), sound_(sound), pending_(sound), layer_(layer) {
  setWindowTitle(QLatin1String(SOUND_DIALOG_TITLE));
  auto* group = new QGroupBox(QLatin1String(SOUND_GROUP_TITLE), this);
  auto* choices = new QVBoxLayout(group);
  for (size_t i = 0; i < SoundChoices.size(); ++i) {
    const SoundChoice& choice = SoundChoices[i];
    auto* button = new QRadioButton(QLatin1String(choice.caption), group);
    button->setObjectName(QStringLiteral("ctl%1").arg(choice.controlId));
    button->setChecked(choice.soundCode == pending_);
    // Toggled, not clicked: the arrow keys move the choice too.
    connect(button, &QRadioButton::toggled, this, [this, code = choice.soundCode](bool checked) {
      if (checked) pending_ = code;
    });
    choices->addWidget(button);
    buttons_[i] = button;
  }

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("ctl1"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("ctl2"));
  auto* play = new QPushButton(QStringLiteral("&Play"), this);
  play->setObjectName(QStringLiteral("ctl%1").arg(IDC_SOUND_PLAY));
  play->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(play, &QPushButton::clicked, this, &SoundDialog::playPending);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addSpacing(DialogUnitsToPixelsY(7));
  buttons->addWidget(play);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(group, 1);
  layout->addLayout(buttons);
  // The template's size, or more where the desktop's font needs it.
  setFixedSize(sizeHint().expandedTo(QSize(DialogUnitsToPixelsX(175), DialogUnitsToPixelsY(126))));
}

SoundDialog::~SoundDialog() = default;

QRadioButton* SoundDialog::choiceButton(int controlId) const {
  for (size_t i = 0; i < SoundChoices.size(); ++i)
    if (SoundChoices[i].controlId == controlId) return buttons_[i];
  return nullptr;
}

void SoundDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CenterOverOwner(this, parentWidget());
}

void SoundDialog::accept() {
  sound_ = pending_;
  QDialog::accept();
}

void SoundDialog::playPending() {
  if (!layer_) {
    if (!systemLayer_) systemLayer_ = MakeSystemSoundLayer();
    layer_ = systemLayer_.get();
  }
  if (!SoundBeep(*layer_, pending_)) {
    QMessageBox::warning(this, QStringLiteral("beep"), QStringLiteral("failed"));
  } else if (pending_ != SOUND_NONE && !layer_->heard()) {
    QMessageBox::information(this, windowTitle(),
                             QStringLiteral("This computer has no sound device or sound service that TM650E can "
                                            "reach, so no sound can be heard. The choice is still kept."));
  }
}
