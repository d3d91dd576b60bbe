// The key latch as a table: from each phase, what every event does to the
// phase, the let-go mark and the key in the matrix.
#include <gtest/gtest.h>

#include <string>

#include "emulator/key_latch.h"

namespace {

constexpr uint8_t KEY = 13;             // row 1, column 5
constexpr uint8_t KEY_LOW = 0xFF & ~KeyColumnBit(KEY);  // side A with the key read down

enum class Act { Press, PressOther, LetGo, LetGoOther, ReadDown, ReadUp, ReadOtherRow, Confirm, Wait, Reset };

bool Held(LatchPhase phase) { return phase != LatchPhase::Idle && phase != LatchPhase::Released; }

bool Apply(Act act, KeyLatch& latch, KeyRows& keys) {
  switch (act) {
    case Act::Press: return LatchPress(latch, keys, KEY);
    case Act::PressOther: return LatchPress(latch, keys, 2);
    case Act::LetGo: return LatchLetGo(latch, keys, KEY);
    case Act::LetGoOther: return LatchLetGo(latch, keys, 2);
    case Act::ReadDown: LatchColumnsRead(latch, keys, KeyRow(KEY), KEY_LOW); break;
    case Act::ReadUp: LatchColumnsRead(latch, keys, KeyRow(KEY), 0xFF); break;
    case Act::ReadOtherRow: LatchColumnsRead(latch, keys, 0, KEY_LOW); break;
    case Act::Confirm: LatchConfirmDelay(latch); break;
    case Act::Wait: LatchKeyWait(latch); break;
    case Act::Reset: LatchReset(latch, keys); break;
  }
  return false;
}

TEST(KeyLatch, EveryPhaseAnswersEveryEvent) {
  using P = LatchPhase;
  struct Row {  // the key in the matrix afterwards; what a press or a let-go returned
    P from;
    bool letGo;
    Act act;
    P to;
    bool letGoAfter, keyDown, result;
  };
  const Row rows[] = {
      {P::Idle, false, Act::Press, P::Down, false, true, true},
      {P::Idle, false, Act::LetGo, P::Idle, false, false, false},
      {P::Idle, false, Act::Wait, P::Idle, false, false, false},
      {P::Down, false, Act::PressOther, P::Down, false, true, false},
      {P::Down, false, Act::ReadDown, P::Seen, false, true, false},
      {P::Down, false, Act::ReadOtherRow, P::Down, false, true, false},
      {P::Down, false, Act::Confirm, P::Down, false, true, false},
      {P::Down, false, Act::LetGo, P::Down, true, true, true},
      {P::Down, false, Act::LetGoOther, P::Down, false, true, false},
      {P::Down, true, Act::LetGo, P::Down, true, true, false},
      {P::Seen, false, Act::Confirm, P::Confirmed, false, true, false},
      {P::Seen, true, Act::Wait, P::Seen, true, true, false},
      {P::Confirmed, false, Act::ReadDown, P::Taken, false, true, false},
      {P::Confirmed, true, Act::ReadDown, P::Released, true, false, false},
      {P::Confirmed, false, Act::ReadUp, P::Confirmed, false, true, false},
      {P::Confirmed, false, Act::LetGo, P::Confirmed, true, true, true},
      {P::Taken, false, Act::LetGo, P::Released, true, false, true},
      {P::Taken, false, Act::ReadDown, P::Taken, false, true, false},
      {P::Released, true, Act::Press, P::Released, true, false, false},
      {P::Released, true, Act::LetGo, P::Released, true, false, false},
      {P::Released, true, Act::Wait, P::Idle, true, false, false},
      {P::Taken, true, Act::Reset, P::Idle, false, false, false},
  };
  for (const Row& row : rows) {
    KeyLatch latch{row.from, KEY, row.letGo};
    KeyRows keys;
    if (Held(row.from)) KeyDown(keys, KEY);
    const bool result = Apply(row.act, latch, keys);
    const std::string where = "row " + std::to_string(&row - rows);
    EXPECT_EQ(latch.phase, row.to) << where;
    EXPECT_EQ(latch.letGo, row.letGoAfter) << where;
    EXPECT_EQ(keys.row[KeyRow(KEY)] != NO_KEY, row.keyDown) << where;
    EXPECT_EQ(result, row.result) << where;
    EXPECT_EQ(keys.row[KeyRow(2)], NO_KEY) << where << ": no other key";
  }
}

}  // namespace
