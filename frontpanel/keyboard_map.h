// Which PC key works which key of the device. A mapped key is held on the
// device for as long as the PC key is held.
//
//   0-9 . (or ,)      the number keys          Enter, Return, =   "="
//   A-N               function keys A to N     P                  "=" beside P
//   S R X Y Z         the keys of those names  Backspace          C (clear entry)
//   Delete            AC "All"                 Insert             AC "No gauge"
//   Page Down         PF, the paper feed button
#pragma once

#include <QString>
#include <span>

struct PcKeyMapping {
  int qtKey;
  int controlId;
  const char* name;  // as a tooltip names it
};

std::span<const PcKeyMapping> PcKeyMappings();
// The key's control id, or 0 when the PC key works no key of the device.
int ControlForPcKey(int qtKey);
// The PC keys that work a control, "Enter or =" and so on; empty for none.
QString PcKeyNamesFor(int controlId);
