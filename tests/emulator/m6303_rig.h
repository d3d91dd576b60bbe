// Shared helpers for the core tests: load an assembled program into a fresh
// core and step it, failing the test if an instruction does not run.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "emulator/m6303.h"
#include "tests/support/assemble.h"

// The core holds 64 KB; keep it off the test's stack.
inline std::unique_ptr<Core> NewCore() { return std::make_unique<Core>(); }

inline void LoadProgram(Core& core, const std::string& source, uint16_t origin) {
  const std::vector<uint8_t> bytes = Assemble(source, origin);
  uint16_t address = origin;
  for (uint8_t byte : bytes) core.memory[address++] = byte;
  core.cpu.PC = origin;
}

inline void Step(Core& core, int count = 1) {
  for (int i = 0; i < count; ++i)
    ASSERT_EQ(ExecuteOne(core), ExecuteResult::Ran)
        << "opcode 0x" << std::hex << int{core.cpu.Opcode} << " before 0x" << core.cpu.PC;
}

// Runs until PC reaches `stop`, with a bound against runaway programs.
inline void RunTo(Core& core, uint16_t stop, int limit = 10000) {
  for (int i = 0; i < limit && core.cpu.PC != stop; ++i) ASSERT_NO_FATAL_FAILURE(Step(core));
  ASSERT_EQ(core.cpu.PC, stop) << "program did not reach its end";
}
