// What a screen reader says for the controls of the face: a short name (the
// legend, told apart where two keys share one) and a description (the
// control's help topic), with the lamps and the power button saying their state.
#pragma once

#include <QString>

struct ControlTemplate;

QString AccessibleName(const ControlTemplate& item);
// The help topic of the control as plain text; empty when it has none.
QString AccessibleDescription(int controlId);
QString LampAccessibleName(const QString& caption, bool lit);
QString PowerAccessibleDescription(bool on);
