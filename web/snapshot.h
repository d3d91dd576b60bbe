// A versioned snapshot of the device, as the web page keeps it in the
// browser's storage between visits: registers, RAM, adapter, keypad and key
// latch, display link and cells, lamps and the view the face shows. The
// firmware is not in it, only its checksum: a snapshot taken under other
// firmware is refused, as is anything damaged, and the machine is then left
// exactly as it was.
//
// The paper is not in it (the page keeps the paper itself), nor the printer
// port's needle capture: the page always runs the patched firmware, whose
// printing never reaches the port.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "emulator/machine.h"

constexpr uint16_t SNAPSHOT_VERSION = 1;

enum class SnapshotError : uint8_t {
  None,
  NotASnapshot,   // wrong size or no magic
  OtherVersion,   // written by another version of this layout
  OtherFirmware,  // taken under another firmware image
  Damaged,        // a field holds a value the device never has
};

std::vector<uint8_t> SaveSnapshot(const Machine& machine);
// The machine must have been brought up with MachineInit on the firmware the
// snapshot is to run under.
SnapshotError LoadSnapshot(Machine& machine, std::span<const uint8_t> bytes);
const char* SnapshotErrorText(SnapshotError error);
