// The display as one control: the four painted digits and their points lie
// inside it, and a screen reader reads it as a single text, what the digits
// show ("1.5"), kept current as it changes.
#pragma once

#include <QString>
#include <QWidget>

#include "peripherals/display.h"

// What the display shows as a reader would say it: the digits with their lit
// points, leading and trailing blanks dropped; "blank" when nothing shows.
QString DisplayText(const DigitState& digits);

class DisplayPanel : public QWidget {
 public:
  explicit DisplayPanel(QWidget* parent = nullptr);
  void showText(const QString& text);
};
