// Cost of an hcheap take-and-give-back pair against the C library's
// malloc/free, for small blocks, on one thread and on two at once.
#include "heap/hcheap.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// Both sides zero-fill, as every hcheap block comes zeroed.
void BM_HcheapPair(benchmark::State& state) {
  size_t size = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    void* p = hcheapAlloc(0, size, "bench", 1);
    benchmark::DoNotOptimize(p);
    hcheapFree(0, p);
  }
}

void BM_MallocPair(benchmark::State& state) {
  size_t size = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    void* p = std::calloc(1, size);
    benchmark::DoNotOptimize(p);
    std::free(p);
  }
}

// A few blocks held at once, so the free list is not always one block.
void BM_HcheapWorkingSet(benchmark::State& state) {
  size_t size = static_cast<size_t>(state.range(0));
  void* held[8] = {};
  unsigned i = 0;
  for (auto _ : state) {
    hcheapFree(0, held[i]);
    held[i] = hcheapAlloc(0, size + i * 8, "bench", 2);
    benchmark::DoNotOptimize(held[i]);
    i = (i + 1) % 8;
  }
  for (void* p : held) hcheapFree(0, p);
}

void BM_MallocWorkingSet(benchmark::State& state) {
  size_t size = static_cast<size_t>(state.range(0));
  void* held[8] = {};
  unsigned i = 0;
  for (auto _ : state) {
    std::free(held[i]);
    held[i] = std::calloc(1, size + i * 8);
    benchmark::DoNotOptimize(held[i]);
    i = (i + 1) % 8;
  }
  for (void* p : held) std::free(p);
}

}  // namespace

BENCHMARK(BM_HcheapPair)->RangeMultiplier(4)->Range(16, 256);
BENCHMARK(BM_MallocPair)->RangeMultiplier(4)->Range(16, 256);
BENCHMARK(BM_HcheapPair)->RangeMultiplier(4)->Range(16, 256)->Threads(2);
BENCHMARK(BM_MallocPair)->RangeMultiplier(4)->Range(16, 256)->Threads(2);
BENCHMARK(BM_HcheapWorkingSet)->Arg(64);
BENCHMARK(BM_MallocWorkingSet)->Arg(64);
BENCHMARK(BM_HcheapWorkingSet)->Arg(64)->Threads(2);
BENCHMARK(BM_MallocWorkingSet)->Arg(64)->Threads(2);

// The emulator always runs two threads. Until a second thread has existed the
// C library takes single-thread shortcuts (plain stores in its mutexes and
// allocator) that no run of the emulator sees, so one is started first.
// Pass --single-threaded-process to measure without it.
int main(int argc, char** argv) {
  bool singleThreaded = argc > 1 && std::strcmp(argv[argc - 1], "--single-threaded-process") == 0;
  if (singleThreaded) --argc;
  else std::thread([] {}).join();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
