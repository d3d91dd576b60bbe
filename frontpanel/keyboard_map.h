// Which Qt key works which key of the device, from the PC key table
// (resources/pc_keys.h).
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
