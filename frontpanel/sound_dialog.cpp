// The Select Sound dialog: a group of seven radio buttons, OK and Cancel.
#include "frontpanel/sound_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/settings.h"
#include "dialogs/center_over_owner.h"
#include "frontpanel/face_layout.h"

const std::array<SoundChoice, 7> SoundChoices{{
    {1033, "Standard Beep", SOUND_STANDARD_BEEP},
    {1035, "System Asterisk", SOUND_ASTERISK},
    {1034, "System Exclamation", SOUND_EXCLAMATION},
    {1036, "System Hand", SOUND_HAND},
    {1037, "System Question", SOUND_QUESTION},
    {1038, "System Default", SOUND_DEFAULT},
    {1039, "No Sound", SOUND_NONE},
}};

SoundDialog::SoundDialog(int32_t& sound, QWidget* owner)
    : QDialog(owner), sound_(sound), pending_(sound) {
  setWindowTitle(QStringLiteral("Select Sound"));
  auto* group = new QGroupBox(QStringLiteral("Sounds"), this);
  auto* choices = new QVBoxLayout(group);
  for (size_t i = 0; i < SoundChoices.size(); ++i) {
    const SoundChoice& choice = SoundChoices[i];
    auto* button = new QRadioButton(QLatin1String(choice.caption), group);
    button->setObjectName(QStringLiteral("ctl%1").arg(choice.controlId));
    button->setChecked(choice.soundCode == pending_);
    connect(button, &QRadioButton::clicked, this, [this, code = choice.soundCode] { pending_ = code; });
    choices->addWidget(button);
    buttons_[i] = button;
  }

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("ctl1"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("ctl2"));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(group, 1);
  layout->addLayout(buttons);
  // The template's size, or more where the desktop's font needs it.
  setFixedSize(sizeHint().expandedTo(QSize(DialogUnitsToPixelsX(175), DialogUnitsToPixelsY(126))));
}

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
