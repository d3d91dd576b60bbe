// Dialog 107, "Select Sound": a choice for the device's beep per row of
// SoundChoices, and Play to hear the highlighted one. The choice is pending
// until OK; Cancel leaves the stored sound as it was.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <memory>

#include "resources/sound_choices.h"

class QRadioButton;
class SoundLayer;


class SoundDialog : public QDialog {
 public:
  // `sound` is written only when the user presses OK. Play sounds through
  // `layer`, or through the system's sounds when none is given.
  SoundDialog(int32_t& sound, QWidget* owner, SoundLayer* layer = nullptr);
  ~SoundDialog() override;
  int32_t pending() const { return pending_; }
  QRadioButton* choiceButton(int controlId) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void accept() override;

 private:
  void playPending();

  int32_t& sound_;
  int32_t pending_;
  SoundLayer* layer_;
  std::unique_ptr<SoundLayer> systemLayer_;  // made at the first Play without a layer
  std::array<QRadioButton*, SoundChoices.size()> buttons_{};  // in SoundChoices' order
};
