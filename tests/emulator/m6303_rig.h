// Shared helpers for the core tests: load an assembled program into a fresh
// core and step it, failing the test if an instruction does not run.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "emulator/m6303.h"
#include "tests/support/assemble.h"

// The core holds 64 KB, so it lives on the heap. SP starts at a fixed top.
inline std::unique_ptr<Core> Loaded(const std::string& source, uint16_t origin = 0xC000) {
  auto core = std::make_unique<Core>();
  uint16_t address = origin;
  for (uint8_t byte : Assemble(source, origin)) core->memory[address++] = byte;
  core->cpu.PC = origin;
  core->cpu.SP = 0x23FF;
  return core;
}

inline void Step(Core& core, int count = 1) {
  for (int i = 0; i < count; ++i)
    ASSERT_EQ(ExecuteOne(core), ExecuteResult::Ran)
        << "opcode 0x" << std::hex << int{core.cpu.Opcode} << " before 0x" << core.cpu.PC;
}
