// The HD6303-family processor core: register file, 64 KB address space and
// the decoded subset of the instruction set (123 opcodes), run N instructions
// per call.
//
// The core knows nothing of the device round it. Port 2 (0x0003) and port 6
// (0x0017) are reached through hooks, and the extended forms of CLR, LDAA,
// LDAB, STAA and STAB through a bus hook for the address window the machine
// names; a hook left empty makes the address a plain byte. No interrupts, no
// cycles.
#pragma once

#include <array>
#include <cstdint>
#include <span>

enum : uint8_t {
  FLAG_C = 0x01,
  FLAG_V = 0x02,
  FLAG_Z = 0x04,
  FLAG_N = 0x08,
  FLAG_I = 0x10,
  FLAG_H = 0x20,
};

constexpr uint16_t PORT2_ADDRESS = 0x0003;
constexpr uint16_t PORT6_ADDRESS = 0x0017;
constexpr uint16_t RESET_VECTOR = 0xFFFE;

struct Cpu {
  uint8_t A = 0;
  uint8_t B = 0;
  uint16_t X = 0;
  uint16_t SP = 0;
  uint16_t PC = 0;
  uint8_t CCR = 0;
  uint8_t Opcode = 0;  // the opcode most recently fetched
};

struct CoreHooks {
  void* context = nullptr;
  void (*port2Write)(void* context, uint8_t value) = nullptr;
  uint8_t (*port6Read)(void* context, uint8_t stored) = nullptr;
  void (*port6Write)(void* context, uint8_t value) = nullptr;
  // The extended forms of CLR, LDAA, LDAB, STAA and STAB reach busRead and
  // busWrite for addresses where (address & busMask) == busBase.
  uint16_t busBase = 0;
  uint16_t busMask = 0xFFFF;
  uint8_t (*busRead)(void* context, uint16_t address) = nullptr;
  void (*busWrite)(void* context, uint16_t address, uint8_t value) = nullptr;
};

using Memory = std::array<uint8_t, 0x10000>;

struct Core {
  Cpu cpu;
  CoreHooks hooks;
  bool halted = false;  // set by CLI or SEI: nothing more may run
  // A hook sets this to end the current run after the instruction that
  // called it; Run clears it when it starts. During a run, hooks see
  // cpu.PC as it is at the access; the other registers are stored when the
  // run ends.
  bool yield = false;
  Memory memory{};
};

// Data access with the port hooks.
uint8_t ReadMem(Core& core, uint16_t address);
void WriteMem(Core& core, uint16_t address, uint8_t value);
// Plain big-endian word, no hooks; the second byte of 0xFFFF is 0x0000.
uint16_t ReadWord(const Core& core, uint16_t address);

enum class RunExit : uint8_t {
  Budget,     // the budget ran out
  Stop,       // the PC reached a stop address; the instruction there has not run
  SelfLoop,   // the last instruction jumped, branched or returned to itself
  Yield,      // a hook asked to end the run, or a store rewrote a stop address
  Undecoded,  // an empty opcode slot: PC is past it, nothing ran
  Halted,     // CLI or SEI ran, or the core had halted
};

struct RunResult {
  uint32_t count = 0;  // instructions that ran (not an undecoded or halting one)
  RunExit exit = RunExit::Budget;
};

// Runs up to `budget` instructions with the registers held in the host's.
// Before each instruction but the first, a PC in `stops` ends the run.
// Opcode holds the opcode most recently fetched.
RunResult Run(Core& core, uint32_t budget, std::span<const uint16_t> stops = {});

enum class ExecuteResult { Ran, Undecoded, Halted };

// One instruction through the same loop: Undecoded leaves PC past the
// opcode, Halted means CLI or SEI ran, or the core had halted.
ExecuteResult ExecuteOne(Core& core);

// Byte length of each decoded instruction (0 for an empty slot); used by the
// firmware checker and the trace.
extern const std::array<uint8_t, 256> InstructionLength;
// Assembler mnemonic of each decoded opcode ("" for an empty slot).
extern const std::array<const char*, 256> Mnemonic;
