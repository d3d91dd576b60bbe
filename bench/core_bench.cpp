// The core and the machine, measured: throughput in instructions per second
// on a loop that mixes table access, BCD arithmetic, the stack, a subroutine
// call and stores and loads through every hook, as the firmware's busy loops
// do, and on a multiply/divide loop (the bare core against the core as it
// was, the machine's run slices and the runner against the bare core); and
// on the built-in firmware with the machine's own thread, the time from a
// digit key to its display event, the heaviest curve's "=", a key right
// after a printing "=" with and without the idle save, a key stress under
// load, and the thread's processor time while the device waits for a key
// and while a key is held.
#include <benchmark/benchmark.h>
#include <pthread.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/startup.h"
#include "emulator/keeping.h"
#include "emulator/machine.h"
#include "emulator/machine_internals.h"
#include "emulator/m6303.h"
#include "tests/support/machine_watch.h"
#ifdef TM650_CORE_BASELINE
#include "baseline_core.h"
#endif

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

// Assembled at 0xC000: a 16 x 16 multiply by shifts and adds into a 32-bit
// product, then the restoring 32 / 16 divide of that product back, over and
// over (the firmware's arithmetic works the same way).
constexpr uint8_t kMulDivProgram[] = {
    0x8e, 0x23, 0xff, 0xce, 0x20, 0x00, 0x86, 0xb7, 0xa7, 0x00, 0x86, 0xa5, 0xa7, 0x01, 0x86, 0x9c, 0xa7, 0x02,
    0x86, 0x4d, 0xa7, 0x03, 0x4f, 0xa7, 0x04, 0xa7, 0x05, 0xa6, 0x02, 0xa7, 0x06, 0xa6, 0x03, 0xa7, 0x07, 0xc6,
    0x10, 0xf7, 0x20, 0x08, 0xa6, 0x07, 0x84, 0x01, 0x27, 0x10, 0xa6, 0x05, 0xbb, 0x20, 0x01, 0xa7, 0x05, 0xa6,
    0x04, 0xb9, 0x20, 0x00, 0xa7, 0x04, 0x20, 0x01, 0x0c, 0x66, 0x04, 0x66, 0x05, 0x66, 0x06, 0x66, 0x07, 0x7a,
    0x20, 0x08, 0x26, 0xdc, 0xc6, 0x10, 0xf7, 0x20, 0x08, 0x68, 0x07, 0x69, 0x06, 0x69, 0x05, 0x69, 0x04, 0x25,
    0x10, 0xa6, 0x04, 0xb1, 0x20, 0x00, 0x25, 0x20, 0x26, 0x07, 0xa6, 0x05, 0xb1, 0x20, 0x01, 0x25, 0x17, 0xa6,
    0x05, 0xb0, 0x20, 0x01, 0xa7, 0x05, 0xa6, 0x04, 0x24, 0x01, 0x4a, 0xb0, 0x20, 0x00, 0xa7, 0x04, 0xa6, 0x07,
    0x8a, 0x01, 0xa7, 0x07, 0x7a, 0x20, 0x08, 0x26, 0xca, 0x7e, 0xc0, 0x06,
};

struct Program {
  const uint8_t* bytes;
  size_t size;
};
const Program kMix{kMixProgram, sizeof kMixProgram};
const Program kMulDiv{kMulDivProgram, sizeof kMulDivProgram};

struct Sink {
  uint8_t last = 0;
};

// The same trivial hooks on either core.
template <class AnyCore>
void AttachTrivialHooks(AnyCore& core, Sink& sink) {
  core.hooks.context = &sink;
  core.hooks.port2Write = [](void* c, uint8_t v) { static_cast<Sink*>(c)->last = v; };
  core.hooks.port6Write = [](void* c, uint8_t v) { static_cast<Sink*>(c)->last = v; };
  core.hooks.port6Read = [](void*, uint8_t stored) -> uint8_t { return stored | 0x01; };
  core.hooks.busBase = 0x4000;
  core.hooks.busMask = 0xFFFC;
  core.hooks.busRead = [](void*, uint16_t address) -> uint8_t { return static_cast<uint8_t>(address); };
  core.hooks.busWrite = [](void* c, uint16_t, uint8_t v) { static_cast<Sink*>(c)->last = v; };
}

template <class AnyCore>
std::unique_ptr<AnyCore> Loaded(const Program& program, Sink& sink) {
  auto core = std::make_unique<AnyCore>();
  std::copy_n(program.bytes, program.size, core->memory.begin() + ORIGIN);
  core->cpu.PC = ORIGIN;
  AttachTrivialHooks(*core, sink);
  return core;
}

std::vector<uint8_t> Image(const Program& program) {
  std::vector<uint8_t> image(FIRMWARE_SIZE, 0x01);
  std::copy_n(program.bytes, program.size, image.begin());
  image[RESET_VECTOR - FIRMWARE_BASE] = ORIGIN >> 8;
  image[RESET_VECTOR - FIRMWARE_BASE + 1] = ORIGIN & 0xFF;
  return image;
}

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

constexpr uint32_t kSlice = 50000;  // as the emulation thread runs them
constexpr uint32_t kRound = 2000000;

void RunCore(Core& core, uint32_t instructions) {
  for (uint32_t done = 0; done < instructions;) {
    const RunResult run = Run(core, std::min(kSlice, instructions - done));
    if (run.exit != RunExit::Budget) std::abort();
    done += run.count;
  }
}

void RunMachineSlices(Machine& machine, uint32_t instructions) {
  for (uint32_t done = 0; done < instructions;) done += RunSlice(machine, std::min(kSlice, instructions - done));
}

void Rate(benchmark::State& state, const char* name, double seconds, int64_t rounds) {
  state.counters[name] = static_cast<double>(rounds) * kRound / seconds / 1e6;
}

// In each round the same number of instructions runs on the bare core, on
// the machine's slices and, where git had it to build, on the core as it was
// before the run loop (one handler call per instruction), each timed by this
// thread's processor clock, so the machine's noise falls on all alike.
void CompareCores(benchmark::State& state, const Program& program) {
  Sink sink;
  auto core = Loaded<Core>(program, sink);
  auto machine = std::make_unique<Machine>();
  const std::vector<uint8_t> image = Image(program);
  MachineInit(*machine, {image});
  double coreSeconds = 0, sliceSeconds = 0, baselineSeconds = 0;
#ifdef TM650_CORE_BASELINE
  auto baseline = Loaded<baseline::Core>(program, sink);
#endif
  int64_t rounds = 0;
  for (auto _ : state) {
    double start = ThreadSeconds();
#ifdef TM650_CORE_BASELINE
    for (uint32_t i = 0; i < kRound; ++i)
      if (baseline::ExecuteOne(*baseline) != baseline::ExecuteResult::Ran) std::abort();
    double end = ThreadSeconds();
    baselineSeconds += end - start;
    start = end;
#endif
    RunCore(*core, kRound);
    double end2 = ThreadSeconds();
    coreSeconds += end2 - start;
    RunMachineSlices(*machine, kRound);
    sliceSeconds += ThreadSeconds() - end2;
    ++rounds;
  }
  benchmark::DoNotOptimize(sink.last);
  Rate(state, "core_M/s", coreSeconds, rounds);
  Rate(state, "slice_M/s", sliceSeconds, rounds);
  state.counters["slice/core"] = coreSeconds / sliceSeconds;
#ifdef TM650_CORE_BASELINE
  Rate(state, "baseline_M/s", baselineSeconds, rounds);
  state.counters["core/baseline"] = baselineSeconds / coreSeconds;
#endif
}

void BM_CoreMix(benchmark::State& state) { CompareCores(state, kMix); }
BENCHMARK(BM_CoreMix)->Unit(benchmark::kMillisecond);
void BM_CoreMulDiv(benchmark::State& state) { CompareCores(state, kMulDiv); }
BENCHMARK(BM_CoreMulDiv)->Unit(benchmark::kMillisecond);

#ifdef TM650_RUN
// The runner against the bare core, the same instructions each round: the
// runner as a child process (its processor time), the core in this thread.
void CompareRunner(benchmark::State& state, const Program& program) {
  const std::filesystem::path rom = std::filesystem::temp_directory_path() / "tm650_core_bench.bin";
  {
    const std::vector<uint8_t> image = Image(program);
    std::FILE* file = std::fopen(rom.c_str(), "wb");
    std::fwrite(image.data(), 1, image.size(), file);
    std::fclose(file);
  }
  constexpr uint32_t kRunnerRound = 100000000;
  const std::string count = std::to_string(kRunnerRound);
  Sink sink;
  auto core = Loaded<Core>(program, sink);
  double runnerSeconds = 0, coreSeconds = 0;
  for (auto _ : state) {
    rusage before{}, after{};
    getrusage(RUSAGE_CHILDREN, &before);
    const std::string command = std::string(TM650_RUN) + " --rom " + rom.string() + " --settle " + count +
                                " --instructions " + count + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return state.SkipWithError("tm650-run failed");
    getrusage(RUSAGE_CHILDREN, &after);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    runnerSeconds += seconds(after.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_utime) - seconds(before.ru_stime);
    const double start = ThreadSeconds();
    RunCore(*core, kRunnerRound);
    coreSeconds += ThreadSeconds() - start;
  }
  std::filesystem::remove(rom);
  state.counters["runner/core"] = coreSeconds / runnerSeconds;
}

void BM_RunnerMix(benchmark::State& state) { CompareRunner(state, kMix); }
BENCHMARK(BM_RunnerMix)->Unit(benchmark::kMillisecond)->Iterations(3);
void BM_RunnerMulDiv(benchmark::State& state) { CompareRunner(state, kMulDiv); }
BENCHMARK(BM_RunnerMulDiv)->Unit(benchmark::kMillisecond)->Iterations(3);
#endif

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
constexpr uint8_t KEY_FA = 19, KEY_FD = 22, KEY_FH = 26, KEY_FN = 32;

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
    // The last key changes no digit, so no event tells when it is done.
    while (!KeysIdle(device.machine) || !MachineIdle(device.machine)) std::this_thread::yield();
    device.watch->Drain();
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

// The emulation thread's share of a core over `seconds`.
double ThreadCpuShare(Machine& machine, std::chrono::seconds seconds) {
  clockid_t clock;
  pthread_getcpuclockid(MachineInternals::Thread(machine), &clock);
  timespec before{}, after{};
  clock_gettime(clock, &before);
  std::this_thread::sleep_for(seconds);
  clock_gettime(clock, &after);
  const double used = static_cast<double>(after.tv_sec - before.tv_sec) + (after.tv_nsec - before.tv_nsec) / 1e9;
  return used / static_cast<double>(seconds.count()) * 100;
}

// The emulation thread's processor time over two seconds while the device
// waits for a key: it should sleep.
void BM_IdleThreadCpu(benchmark::State& state) {
  if (BuiltinFirmware().empty()) return state.SkipWithError("no built-in firmware");
  RunningDevice device;
  device.Shows("   0");
  double share = 0;
  for (auto _ : state) share = ThreadCpuShare(device.machine, std::chrono::seconds(2));
  state.counters["cpu_%_of_a_core"] = share;
}
BENCHMARK(BM_IdleThreadCpu)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// A digit key held down for a second once its digit shows: the firmware
// waits for the release, and the thread should sleep through it.
void BM_HeldKeyThreadCpu(benchmark::State& state) {
  if (BuiltinFirmware().empty()) return state.SkipWithError("no built-in firmware");
  RunningDevice device;
  device.Shows("   0");
  double share = 0;
  for (auto _ : state) {
    MachineSend(device.machine, {CommandKind::KeyDown, 5});
    device.Shows("   5");
    share = ThreadCpuShare(device.machine, std::chrono::seconds(1));
    MachineSend(device.machine, {CommandKind::KeyUp, 5});
    device.Click(KEY_C);
    device.Shows("   0");
  }
  state.counters["cpu_%_of_a_core"] = share;
}
BENCHMARK(BM_HeldKeyThreadCpu)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// A digit pressed as soon as a printing "=" has shown its answer, when the
// device then goes idle and (with saves on) keeps itself on disk: from the
// press to its display event. Saves off (0) and on (1) show what the save adds.
void BM_KeyAfterPrintingEquals(benchmark::State& state) {
  if (BuiltinFirmware().empty()) return state.SkipWithError("no built-in firmware");
  const bool saves = state.range(0) != 0;
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "tm650_core_bench.state";
  std::filesystem::remove(path);
  Machine machine;
  MachineInit(machine, {BuiltinFirmware()});
  auto keeping = std::make_unique<DeviceKeeping>(machine, path, saves);
  MachineStart(machine);
  {
    MachineWatch watch(machine);
    auto click = [&](uint8_t key) {
      MachineSend(machine, {CommandKind::KeyDown, key});
      MachineSend(machine, {CommandKind::KeyUp, key});
    };
    auto shows = [&](const std::string& digits) {
      return watch.WaitFor([&](const DeviceView& view) { return MachineWatch::Shown(view.digits) == digits; });
    };
    watch.WaitFor([](const DeviceView& view) { return view.beeps == 1; });
    for (uint8_t key : {KEY_C, KEY_FA, uint8_t{2}, uint8_t{2}, KEY_S, uint8_t{3}, uint8_t{0}, KEY_R, KEY_EQUALS, KEY_FN})
      click(key);
    for (auto _ : state) {
      state.PauseTiming();
      for (uint8_t key : {KEY_C, KEY_FD, uint8_t{1}, uint8_t{2}, uint8_t{5}, KEY_S}) click(key);
      shows(" 125");
      const size_t paper = watch.view().paper.size();
      click(KEY_EQUALS);
      watch.WaitFor([&](const DeviceView& view) { return view.paper.size() > paper && MachineWatch::Shown(view.digits) != " 125"; });
      state.ResumeTiming();
      click(5);
      shows("   5");
    }
  }
  keeping.reset();  // the machine stopped, the last save written
  if (saves && !std::filesystem::exists(path)) state.SkipWithError("the device was not saved");
  std::filesystem::remove(path);
}
BENCHMARK(BM_KeyAfterPrintingEquals)->Arg(0)->Arg(1)->Iterations(100)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
