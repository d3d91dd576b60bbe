// The run loop's throughput: the whole machine (traps, jump requests, the
// adapter, keypad and display link wired) stepping through the same kind of
// loop as the core benchmark, with and without the yield the emulation thread
// makes before every instruction.
#include <benchmark/benchmark.h>

#include <memory>
#include <thread>

#include "emulator/machine.h"
#include "tools/headless_host.h"

namespace {

// lds #0x23FF; loop: ldx #0x2000; inner: ldaa 0,x; adda #7; daa; staa 0,x;
// psha; pula; staa *0x03; ldab *0x17; stab 0x4001; inx; cpx #0x2010;
// bne inner; jsr sub; jmp loop; sub: lsra; incb; rts
constexpr uint8_t kMixProgram[] = {
    0x8E, 0x23, 0xFF, 0xCE, 0x20, 0x00, 0xA6, 0x00, 0x8B, 0x07, 0x19, 0xA7, 0x00,
    0x36, 0x32, 0x97, 0x03, 0xD6, 0x17, 0xF7, 0x40, 0x01, 0x08, 0x8C, 0x20, 0x10,
    0x26, 0xEA, 0xBD, 0xC0, 0x22, 0x7E, 0xC0, 0x03, 0x44, 0x5C, 0x39,
};

std::unique_ptr<Machine> MakeMachine(HeadlessHost& host) {
  auto machine = std::make_unique<Machine>();
  MachineWire(*machine, &host);
  std::copy(std::begin(kMixProgram), std::end(kMixProgram), machine->core.memory.begin() + 0xC000);
  machine->core.memory[RESET_VECTOR] = 0xC0;
  PiaReset(machine->pia);
  MachineReset(*machine);
  return machine;
}

void RunLoop(benchmark::State& state, bool yield) {
  HeadlessHost host;
  auto machine = MakeMachine(host);
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

void BM_RunLoopWithYield(benchmark::State& state) { RunLoop(state, true); }
void BM_RunLoopNoYield(benchmark::State& state) { RunLoop(state, false); }

BENCHMARK(BM_RunLoopWithYield);
BENCHMARK(BM_RunLoopNoYield);

}  // namespace

BENCHMARK_MAIN();
