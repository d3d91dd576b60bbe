// Every firmware address the emulator depends on, written once: the entries
// a shell jumps to, the traps, the patches, the key wait and the RAM the
// machine reads. romcheck holds the firmware's symbol list against this
// table, so a firmware that moves a routine fails its build.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr uint16_t FIRMWARE_BASE = 0xC000;
constexpr size_t FIRMWARE_SIZE = 0x4000;

constexpr uint16_t ENTRY_RESET = 0xC000;
constexpr uint16_t ENTRY_POWER_OFF = 0xCC96;
constexpr uint16_t TRAP_SLEEP = 0xCCA4;       // the SLP that ends the power-off sequence
constexpr uint16_t TRAP_OFF_LOOP = 0xCCA5;    // branch to itself while switched off
constexpr uint16_t WAIT_FOR_KEY = 0xE210;     // start of the key wait, once per pass
constexpr uint16_t COUNTDOWN_JUMP = 0xE21B;   // JMP to the power-off sequence at countdown 0
constexpr uint16_t CONFIRM_DELAY = 0xE2CE;    // called between the two scans that confirm a key
constexpr uint16_t TRAP_TONE = 0xE2D5;
constexpr uint16_t TONE_STORE_1 = 0xE2DB;     // the tone's two port-2 stores (2 bytes each)
constexpr uint16_t TONE_STORE_2 = 0xE2E3;
constexpr uint16_t TRAP_LINE_FEED = 0xE41D;
constexpr uint16_t SELF_CHECK_SWI = 0xEB3B;
constexpr uint16_t TRAP_PRINT_LINE = 0xF36E;
constexpr uint16_t ALARM_PAUSE = 0xF904;

constexpr uint16_t STACK_TOP = 0x23FF;
constexpr uint16_t COUNTDOWN = 0x20F3;        // 16-bit inactivity countdown
constexpr uint16_t PRINT_BUFFER = 0x2150;     // 16 bytes, 0x80 ends a line early
constexpr size_t PRINT_BUFFER_SIZE = 16;
constexpr uint8_t PRINT_END = 0x80;
constexpr uint16_t STEP_COUNTER = 0x217B;     // 84 while the paper feed steps

constexpr uint8_t OPCODE_RTS = 0x39;

struct FirmwarePatch {
  uint16_t address;
  uint8_t value;
};

// Routines the host takes over are cut short by an RTS; the inactivity
// switch-off jump is bent back into the key wait.
constexpr std::array<FirmwarePatch, 7> FirmwarePatches{{
    {COUNTDOWN_JUMP + 1, WAIT_FOR_KEY >> 8},
    {COUNTDOWN_JUMP + 2, WAIT_FOR_KEY & 0xFF},
    {TRAP_TONE, OPCODE_RTS},
    {ALARM_PAUSE, OPCODE_RTS},
    {CONFIRM_DELAY, OPCODE_RTS},
    {TRAP_PRINT_LINE, OPCODE_RTS},
    {TRAP_LINE_FEED, OPCODE_RTS},
}};

struct FirmwareSymbol {
  const char* name;  // in the open firmware's symbol list
  uint16_t address;
};

// What the open firmware's build must place where; the RAM symbols are
// checked when the firmware exports them.
constexpr std::array<FirmwareSymbol, 14> FirmwareCodeSymbols{{
    {"reset", ENTRY_RESET},
    {"power_off", ENTRY_POWER_OFF},
    {"power_off_slp", TRAP_SLEEP},
    {"power_off_loop", TRAP_OFF_LOOP},
    {"keywait", WAIT_FOR_KEY},
    {"keywait_jmp", COUNTDOWN_JUMP},
    {"confirm_delay", CONFIRM_DELAY},
    {"tone", TRAP_TONE},
    {"tone_store_1", TONE_STORE_1},
    {"tone_store_2", TONE_STORE_2},
    {"paper_feed", TRAP_LINE_FEED},
    {"self_check_fail", SELF_CHECK_SWI},
    {"print_line", TRAP_PRINT_LINE},
    {"long_delay", ALARM_PAUSE},
}};
constexpr std::array<FirmwareSymbol, 4> FirmwareRamSymbols{{
    {"stack_top", STACK_TOP},
    {"countdown", COUNTDOWN},
    {"print_buffer", PRINT_BUFFER},
    {"step_counter", STEP_COUNTER},
}};
