// Dialog 107, "Select Sound": seven choices for the device's beep. The choice
// is pending until OK; Cancel leaves the stored sound as it was.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

class QRadioButton;

struct SoundChoice {
  int controlId;
  const char* caption;
  int32_t soundCode;
};
// Top to bottom as the dialog shows them.
extern const std::array<SoundChoice, 7> SoundChoices;

class SoundDialog : public QDialog {
 public:
  // `sound` is written only when the user presses OK.
  SoundDialog(int32_t& sound, QWidget* owner);
  int32_t pending() const { return pending_; }
  QRadioButton* choiceButton(int controlId) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void accept() override;

 private:
  int32_t& sound_;
  int32_t pending_;
  std::array<QRadioButton*, 7> buttons_{};
};
