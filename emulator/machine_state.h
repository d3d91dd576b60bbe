// The machine's state between runs: RAM and registers, the adapter, the
// display link and controller, the lamps, the printer mechanism, power and
// stop, and the paper pane, as sections of a state file. Each device declares
// its own fields (PiaState, DisplayLinkState, PrinterPortState, ...); a
// record here is the sum of those. Taken while the machine's thread is stopped
// or the device is idle (MachineIdle), and restored after MachineInit, before
// the thread starts: all of it or, when anything is off, nothing.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "emulator/machine.h"
#include "emulator/state_file.h"

// Which firmware (and whether patched) a state belongs to.
uint64_t MachineStateKey(std::span<const uint8_t> image, bool patched);

std::vector<StateSection> MachineStateSections(const Machine& machine);
// All of them or, the machine untouched, the reason: OtherVersion for a
// record of another layout, Corrupt for one that is damaged or incomplete.
// `name` stands for the file in the message.
StateFileResult RestoreMachineSections(Machine& machine, const std::vector<StateSection>& sections,
                                       const std::string& name);

// Whole-file forms. Saving reads the device: on the machine's own thread
// while it is idle, or with the thread stopped or not started. A state of the same firmware run the other way
// (patched or not) is refused as OtherPatching: the patches live in the
// memory it carries.
// The file is tied to the machine's firmware (MachineKey).
StateFileResult SaveMachineState(const Machine& machine, const std::filesystem::path& path);
StateFileResult LoadMachineState(Machine& machine, const std::filesystem::path& path);
// The same as one record of bytes, for a store that is not a file.
std::vector<uint8_t> MachineStateBytes(const Machine& machine);
StateFileResult RestoreMachineStateBytes(Machine& machine, std::span<const uint8_t> bytes);
