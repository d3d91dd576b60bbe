// Indicator lamps: independent of each other, never focused, inert to input.
#include "frontpanel/lamp_button.h"

LampButton::LampButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
  setAutoExclusive(false);
  setFocusPolicy(Qt::NoFocus);
}
