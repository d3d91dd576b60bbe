// How fast the paper pane takes printed lines: 100,000 appended one at a time
// as the run loop appends them, against replacing the whole text per line as
// a plain text control would have to.
#include <QApplication>
#include <QPlainTextEdit>
#include <benchmark/benchmark.h>

#include <string>

#include "frontpanel/paper_pane.h"

namespace {

std::string Line(int n) { return "S " + std::to_string(n % 10000) + " ST\r\n"; }

// A whole paper of `lines` lines, each appended and scrolled to on its own.
void BM_PaperAppend(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  for (auto _ : state) {
    PaperPane pane;
    pane.resize(165, 358);
    pane.show();
    for (int i = 0; i < lines; ++i) {
      const std::string line = Line(i);
      pane.append(line.data(), line.size());
    }
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(pane.paper().size());
  }
  state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_PaperAppend)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same lines, with the whole text set again for every line.
void BM_WholeTextReplacement(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  for (auto _ : state) {
    QPlainTextEdit pane;
    pane.resize(165, 358);
    pane.show();
    QString text;
    for (int i = 0; i < lines; ++i) {
      text += QString::fromLatin1(Line(i).c_str()).replace(QLatin1String("\r\n"), QLatin1String("\n"));
      pane.setPlainText(text);
    }
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(pane.blockCount());
  }
  state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_WholeTextReplacement)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
