// The key matrix: which control sits where, what a press stores, and which
// row byte side A shows for a given row selection.
#include "peripherals/keypad.h"

namespace {

constexpr KeyInfo Key(int controlId, const char* label, uint8_t row, uint8_t column) {
  return KeyInfo{controlId, label, row, column, static_cast<uint8_t>(~(1u << column)),
                  static_cast<uint8_t>(row * 8 + column)};
}

constexpr uint8_t NO_KEY = 0xFF;
constexpr uint8_t CB2_HIGH = 0x08;

}  // namespace

const std::array<KeyInfo, 35> KeyTable = {{
    Key(1023, "0", 0, 0), Key(1014, "1", 0, 1), Key(1015, "2", 0, 2), Key(1016, "3", 0, 3),
    Key(1017, "4", 0, 4), Key(1018, "5", 0, 5), Key(1019, "6", 0, 6), Key(1020, "7", 0, 7),
    Key(1021, "8", 1, 0), Key(1022, "9", 1, 1), Key(1024, ".", 1, 2), Key(1025, "C", 1, 3),
    Key(1040, "AC", 1, 4), Key(1041, "AC", 1, 5), Key(1026, "S", 1, 6), Key(1027, "R", 1, 7),
    Key(1028, "X", 2, 0), Key(1029, "Y", 2, 1), Key(1030, "Z", 2, 2), Key(1000, "A", 2, 3),
    Key(1001, "B", 2, 4), Key(1002, "C", 2, 5), Key(1003, "D", 2, 6), Key(1004, "E", 2, 7),
    Key(1005, "F", 3, 0), Key(1006, "G", 3, 1), Key(1007, "H", 3, 2), Key(1008, "I", 3, 3),
    Key(1009, "J", 3, 4), Key(1010, "K", 3, 5), Key(1011, "L", 3, 6), Key(1012, "M", 3, 7),
    Key(1013, "N", 4, 0), Key(1032, "=", 4, 2), Key(1031, "=", 4, 3),
}};

const KeyInfo* FindKey(int controlId) {
  for (const KeyInfo& key : KeyTable) {
    if (key.controlId == controlId) return &key;
  }
  return nullptr;
}

uint8_t KeypadRowCode(const KeyRows& keys, uint8_t ctrl, uint8_t out) {
  if (!(ctrl & CB2_HIGH)) return keys.row[4].load(std::memory_order_relaxed);
  for (int row = 0; row < 4; ++row) {
    if (!(out & (1u << row))) return keys.row[row].load(std::memory_order_relaxed);
  }
  return NO_KEY;
}

void KeyPress(KeyRows& keys, int controlId) {
  if (const KeyInfo* key = FindKey(controlId)) {
    keys.row[key->row].store(key->rowByte, std::memory_order_relaxed);
  }
}

void KeyRelease(KeyRows& keys, int controlId) {
  if (const KeyInfo* key = FindKey(controlId)) {
    keys.row[key->row].store(NO_KEY, std::memory_order_relaxed);
  }
}
