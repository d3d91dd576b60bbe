// Throughput in instructions per second on a loop that mixes table access,
// BCD arithmetic, the stack, a subroutine call and stores and loads through
// every hook, as the firmware's busy loops do: the bare core, and the whole
// machine's run loop with and without the yield the emulation thread makes
// before every instruction.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include <thread>

#include "emulator/machine.h"
#include "emulator/m6303.h"
#include "tools/headless_host.h"

namespace {

constexpr uint16_t ORIGIN = 0xC000;

// Assembled at 0xC000:
//         lds  #0x23FF
// loop:   ldx  #0x2000
// inner:  ldaa 0,x  / adda #7 / daa / staa 0,x   table element, BCD step
//         psha / pula                             stack
//         staa *0x03 / ldab *0x17 / stab 0x4001   port 2, port 6, adapter
//         inx / cpx #0x2010 / bne inner
//         jsr sub / jmp loop
// sub:    lsra / incb / rts
constexpr uint8_t kMixProgram[] = {
    0x8E, 0x23, 0xFF, 0xCE, 0x20, 0x00, 0xA6, 0x00, 0x8B, 0x07, 0x19, 0xA7, 0x00,
    0x36, 0x32, 0x97, 0x03, 0xD6, 0x17, 0xF7, 0x40, 0x01, 0x08, 0x8C, 0x20, 0x10,
    0x26, 0xEA, 0xBD, 0xC0, 0x22, 0x7E, 0xC0, 0x03, 0x44, 0x5C, 0x39,
};

struct Sink {
  uint8_t last = 0;
};

void AttachTrivialHooks(Core& core, Sink& sink) {
  core.hooks.context = &sink;
  core.hooks.port2Write = [](void* c, uint8_t v) { static_cast<Sink*>(c)->last = v; };
  core.hooks.port6Write = [](void* c, uint8_t v) { static_cast<Sink*>(c)->last = v; };
  core.hooks.port6Read = [](void*, uint8_t stored) -> uint8_t { return stored | 0x01; };
  core.hooks.adapterRead = [](void*, uint16_t address) -> uint8_t {
    return static_cast<uint8_t>(address);
  };
  core.hooks.adapterWrite = [](void* c, uint16_t, uint8_t v) {
    static_cast<Sink*>(c)->last = v;
  };
}

std::unique_ptr<Core> LoadMix() {
  auto core = std::make_unique<Core>();
  for (size_t i = 0; i < sizeof kMixProgram; ++i) core->memory[ORIGIN + i] = kMixProgram[i];
  core->cpu.PC = ORIGIN;
  return core;
}

void RunMix(benchmark::State& state, Core& core) {
  constexpr int kBatch = 1000;
  int64_t instructions = 0;
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) {
      if (ExecuteOne(core) != ExecuteResult::Ran) state.SkipWithError("core stopped");
    }
    instructions += kBatch;
  }
  benchmark::DoNotOptimize(core.memory[0x2000]);
  state.counters["instructions/s"] =
      benchmark::Counter(static_cast<double>(instructions), benchmark::Counter::kIsRate);
}

void BM_CoreMixWithHooks(benchmark::State& state) {
  auto core = LoadMix();
  Sink sink;
  AttachTrivialHooks(*core, sink);
  RunMix(state, *core);
  benchmark::DoNotOptimize(sink.last);
}
BENCHMARK(BM_CoreMixWithHooks);

void BM_CoreMixPlainMemory(benchmark::State& state) {
  auto core = LoadMix();
  RunMix(state, *core);
}
BENCHMARK(BM_CoreMixPlainMemory);

void RunMachine(benchmark::State& state, bool yield) {
  HeadlessHost host;
  auto machine = std::make_unique<Machine>();
  MachineWire(*machine, &host);
  PiaReset(machine->pia);
  for (size_t i = 0; i < sizeof kMixProgram; ++i) machine->core.memory[ORIGIN + i] = kMixProgram[i];
  machine->core.cpu.PC = ORIGIN;
  constexpr int kBatch = 1000;
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) {
      if (yield) std::this_thread::yield();
      benchmark::DoNotOptimize(Step(*machine));
    }
  }
  state.counters["instructions/s"] =
      benchmark::Counter(double(state.iterations()) * kBatch, benchmark::Counter::kIsRate);
}

void BM_RunLoopWithYield(benchmark::State& state) { RunMachine(state, true); }
BENCHMARK(BM_RunLoopWithYield);

void BM_RunLoopNoYield(benchmark::State& state) { RunMachine(state, false); }
BENCHMARK(BM_RunLoopNoYield);

}  // namespace

BENCHMARK_MAIN();
