// A resize of the main window by the user on the Qt backend (offscreen): the window's resize
// reaches the model, the layout places the pages, lists and bars again, and the widgets follow
// and repaint. The window alternates between two sizes, on its results page.
// - BM_ResizeMainWindow/0: with empty result lists (the baseline).
// - BM_ResizeMainWindow/1000: with 1,000 rows in the threat list and in the scan log.
// Counter resize_ms: the real time of one resize. The ratios of the two (real and CPU time) are
// printed after the table; on a busy machine the CPU time is the steadier figure.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench_machine.h"
#include "forms/runtime.h"
#include "model/app.h"
#include "model/result_rows.h"
#include "ui/main/layout.h"
#include "view/qt_backend.h"
#include "view/screen.h"

namespace {

QApplication& Application() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "main_window_resize_bench";
  static char* argv[] = {name, nullptr};
  static QApplication application(argc, argv);
  return application;
}

void FillResults(model::App& app, int rows) {
  model::FrmMain& window = app.frmMain;
  model::RowView<model::ThreatRow> threats(window.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
  for (int i = 0; i < rows; ++i) {
    const std::string name = "Threat " + std::to_string(i);
    threats.Add({name, "C:\\Program Files\\Bad\\item" + std::to_string(i) + ".dll", "File",
                 model::ThreatIconKind::kFile, true});
    window.lvwSpywareFound.AddItem(name + " - Found", 3);
  }
}

void BM_ResizeMainWindow(benchmark::State& state) {
  Application();
  bench::BenchMachine machine("resize");
  view::QtBackend backend;
  forms::Runtime runtime(backend, "Hearthguard");
  std::unique_ptr<model::App> app = model::MakeApp(machine.machine(), runtime);
  view::Screen screen(backend, runtime, &app->skin);
  ui::InstallLayout(*app);
  model::FrmMain& window = app->frmMain;
  window.Load();
  FillResults(*app, static_cast<int>(state.range(0)));
  window.frmStatus.SetVisible(false);
  window.frmResults.SetVisible(true);
  window.Show();
  QCoreApplication::processEvents();
  QMainWindow* widget = screen.ViewOf(window)->window();

  const QSize sizes[] = {QSize(1000, 760), QSize(800, 600)};
  int next = 0;
  double total_s = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    widget->resize(sizes[next]);
    QCoreApplication::processEvents();
    total_s += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    next = 1 - next;
  }
  if (window.Width() < ui::kMainWindowMinWidth + 1000)
    state.SkipWithError("the resize did not reach the model");
  state.counters["resize_ms"] = 1000 * total_s / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ResizeMainWindow)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(200);

// Prints how much longer a resize takes with 1,000 rows than with none.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (!run.error_occurred && run.iterations > 0)
        per_iteration_[run.benchmark_name()] = {run.GetAdjustedRealTime(),
                                                run.GetAdjustedCPUTime()};
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const auto empty = per_iteration_.find("BM_ResizeMainWindow/0/iterations:200");
    const auto full = per_iteration_.find("BM_ResizeMainWindow/1000/iterations:200");
    if (empty != per_iteration_.end() && full != per_iteration_.end())
      std::printf("1,000 rows / empty resize: real time ratio %.2f, CPU time ratio %.2f\n",
                  full->second.first / empty->second.first,
                  full->second.second / empty->second.second);
  }

 private:
  // Real and CPU time of one iteration.
  std::map<std::string, std::pair<double, double>> per_iteration_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
