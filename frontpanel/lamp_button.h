// An indicator lamp: a radio button that only port 2 switches. Clicks and
// keys do nothing to it, so it always shows what the firmware last wrote.
#pragma once

#include <QRadioButton>

class LampButton : public QRadioButton {
 public:
  explicit LampButton(const QString& text, QWidget* parent = nullptr);

 protected:
  void mousePressEvent(QMouseEvent*) override {}
  void mouseReleaseEvent(QMouseEvent*) override {}
  void mouseDoubleClickEvent(QMouseEvent*) override {}
  void keyPressEvent(QKeyEvent*) override {}
};
