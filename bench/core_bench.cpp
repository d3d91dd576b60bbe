// The core and the machine, measured: throughput in instructions per second
// on a loop that mixes table access, BCD arithmetic, the stack, a subroutine
// call and stores and loads through every hook, as the firmware's busy loops
// do (the bare core, and the machine's run slices); and on the built-in
// firmware with the machine's own thread, the time from a digit key to its
// display event, the heaviest curve's "=", a key stress under load, and the
// thread's processor time while the device waits for a key.
#include <benchmark/benchmark.h>
#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <ctime>
#include <memory>
#include <random>
#include <thread>

#include "app/startup.h"
#include "emulator/machine.h"
#include "emulator/m6303.h"
#include "tests/support/machine_watch.h"

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
  core.hooks.busBase = 0x4000;
  core.hooks.busMask = 0xFFFC;
  core.hooks.busRead = [](void*, uint16_t address) -> uint8_t {
    return static_cast<uint8_t>(address);
  };
  core.hooks.busWrite = [](void* c, uint16_t, uint8_t v) {
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

// The machine's run slices on the same mix: the loop the emulation thread
// runs, with the traps, the command check and the idle test per instruction.
void BM_RunSliceMix(benchmark::State& state) {
  auto machine = std::make_unique<Machine>();
  std::vector<uint8_t> image(FIRMWARE_SIZE, 0x01);
  std::copy(std::begin(kMixProgram), std::end(kMixProgram), image.begin());
  image[RESET_VECTOR - FIRMWARE_BASE] = 0xC0;
  MachineInit(*machine, {image});
  constexpr uint32_t kSlice = 1000;
  int64_t instructions = 0;
  for (auto _ : state) instructions += RunSlice(*machine, kSlice);
  state.counters["instructions/s"] =
      benchmark::Counter(static_cast<double>(instructions), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RunSliceMix);

// ---- the built-in firmware on the machine's own thread ----

struct RunningDevice {
  Machine machine;
  std::unique_ptr<MachineWatch> watch;

  RunningDevice() {
    MachineInit(machine, {BuiltinFirmware()});
    MachineStart(machine);
    watch = std::make_unique<MachineWatch>(machine);
    watch->WaitFor([](const DeviceView& view) { return view.beeps == 1; });
  }
  ~RunningDevice() {
    watch.reset();
    MachineStop(machine);
  }
  void Click(uint8_t key) {
    MachineSend(machine, {CommandKind::KeyDown, key});
    MachineSend(machine, {CommandKind::KeyUp, key});
  }
  bool Shows(const std::string& digits) {
    return watch->WaitFor([&](const DeviceView& view) { return MachineWatch::Shown(view.digits) == digits; });
  }
};

constexpr uint8_t KEY_C = 11, KEY_S = 14, KEY_R = 15, KEY_X = 16, KEY_Y = 17, KEY_EQUALS = 34;
constexpr uint8_t KEY_FA = 19, KEY_FH = 26;

// From the digit key's press (sent from this thread) to the display event
// reaching a shell, with the device asleep at its key wait in between.
void BM_DigitKeyToDisplayEvent(benchmark::State& state) {
  if (BuiltinFirmware().empty()) return state.SkipWithError("no built-in firmware");
  RunningDevice device;
  uint8_t digit = 1;
  for (auto _ : state) {
    state.PauseTiming();
    device.Click(KEY_C);
    device.Shows("   0");
    state.ResumeTiming();
    device.Click(digit);
    device.Shows(std::string("   ") + static_cast<char>('0' + digit));
    digit = static_cast<uint8_t>(digit % 9 + 1);
  }
}
BENCHMARK(BM_DigitKeyToDisplayEvent)->Unit(benchmark::kMicrosecond)->UseRealTime();

// FA 2 2 S 3 0 R = FH 2 0 X 6 0 Y, then "=": the heaviest curve, key to answer.
void BM_CurveEquals(benchmark::State& state) {
  if (BuiltinFirmware().empty()) return state.SkipWithError("no built-in firmware");
  RunningDevice device;
  for (auto _ : state) {
    state.PauseTiming();
    const uint8_t setup[] = {KEY_C, KEY_FA, 2, 2, KEY_S, 3, 0, KEY_R, KEY_EQUALS, KEY_FH, 2, 0, KEY_X, 6, 0, KEY_Y};
    for (uint8_t key : setup) device.Click(key);
    device.watch->WaitFor([&](const DeviceView&) { return KeysIdle(device.machine) && MachineIdle(device.machine); });
    const size_t displays = device.watch->shown().size();
    state.ResumeTiming();
    device.Click(KEY_EQUALS);
    device.watch->WaitFor([&](const DeviceView&) { return device.watch->shown().size() > displays; });
  }
}
BENCHMARK(BM_CurveEquals)->Unit(benchmark::kMillisecond)->UseRealTime();

// 2,000 presses of random digits in groups after C, each held 1-5 ms, while
// two threads keep both cores busy: every press must reach the firmware, in
// order, as the digits it shows prove.
void BM_KeyStressUnderLoad(benchmark::State& state) {
  if (BuiltinFirmware().empty()) return state.SkipWithError("no built-in firmware");
  std::atomic<bool> busy{true};
  std::vector<std::thread> burners;
  for (int i = 0; i < 2; ++i)
    burners.emplace_back([&] {
      volatile uint64_t sink = 0;
      while (busy.load(std::memory_order_relaxed)) sink = sink + 1;
    });
  int64_t wrong = 0;
  for (auto _ : state) {
    RunningDevice device;
    device.Shows("   0");
    std::mt19937 random(2000);
    std::vector<std::string> expected{"   0"};
    for (int press = 0; press < 2000;) {
      std::vector<uint8_t> group{KEY_C};
      if (expected.back() != "   0") expected.push_back("   0");
      std::string entry;
      for (int i = 0; i < 4; ++i) {
        const uint8_t digit = static_cast<uint8_t>(1 + random() % 9);
        group.push_back(digit);
        entry += static_cast<char>('0' + digit);
        expected.push_back(std::string(4 - entry.size(), ' ') + entry);
      }
      for (uint8_t key : group) {
        MachineSend(device.machine, {CommandKind::KeyDown, key});
        std::this_thread::sleep_for(std::chrono::milliseconds(1 + random() % 5));  // the hold
        MachineSend(device.machine, {CommandKind::KeyUp, key});
        device.watch->Drain();  // a shell that keeps up sees every display
        ++press;
      }
    }
    device.watch->WaitFor([&](const DeviceView&) { return device.watch->shown().size() >= expected.size(); });
    wrong += device.watch->shown() == expected ? 0 : 1;
    state.counters["presses"] = 2000;
  }
  busy = false;
  for (std::thread& burner : burners) burner.join();
  state.counters["runs_wrong"] = static_cast<double>(wrong);
  if (wrong) state.SkipWithError("a press was lost or doubled");
}
BENCHMARK(BM_KeyStressUnderLoad)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The emulation thread's processor time over two seconds while the device
// waits for a key: it should sleep.
void BM_IdleThreadCpu(benchmark::State& state) {
  if (BuiltinFirmware().empty()) return state.SkipWithError("no built-in firmware");
  RunningDevice device;
  device.Shows("   0");
  clockid_t clock;
  pthread_getcpuclockid(device.machine.thread.native_handle(), &clock);
  double seconds = 0;
  for (auto _ : state) {
    timespec before{}, after{};
    clock_gettime(clock, &before);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    clock_gettime(clock, &after);
    seconds = static_cast<double>(after.tv_sec - before.tv_sec) + (after.tv_nsec - before.tv_nsec) / 1e9;
  }
  state.counters["cpu_%_of_a_core"] = seconds / 2 * 100;
}
BENCHMARK(BM_IdleThreadCpu)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
