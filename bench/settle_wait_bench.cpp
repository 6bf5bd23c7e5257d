// The removal's settle wait (20,001 yields to the message loop before the restore point).
// - BM_SettleWaitQt: on the Qt backend with the main window shown offscreen on its results
//   page, its timers running as at any removal (the group off, the rest as they are).
// - BM_SettleWaitHeadless: the same wait on the headless backend, for comparison.
// Counter wait_ms: the time of one whole wait.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_machine.h"
#include "forms/headless_backend.h"
#include "forms/runtime.h"
#include "machine/machine.h"
#include "model/app.h"
#include "model/timer_group.h"
#include "removal/removal_session.h"
#include "view/qt_backend.h"
#include "view/screen.h"

namespace {

namespace fs = std::filesystem;

// A fresh machine in a temporary folder and an application object on `backend`.
class Scene {
 public:
  explicit Scene(forms::Backend& backend)
      : runtime_(std::make_unique<forms::Runtime>(backend, machine_.version().product_name)),
        app_(model::MakeApp(machine_.machine(), *runtime_)) {}
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  model::App& app() { return *app_; }
  forms::Runtime& runtime() { return *runtime_; }

 private:
  bench::BenchMachine machine_{"settle"};
  std::unique_ptr<forms::Runtime> runtime_;
  std::unique_ptr<model::App> app_;
};

void MeasureWaits(benchmark::State& state, model::App& app) {
  double total_s = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    removal::SettleWait(app);
    total_s += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["wait_ms"] = 1000 * total_s / static_cast<double>(state.iterations());
}

void BM_SettleWaitQt(benchmark::State& state) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "settle_wait_bench";
  static char* argv[] = {name, nullptr};
  static QApplication application(argc, argv);

  view::QtBackend backend;
  Scene scene(backend);
  view::Screen screen(backend, scene.runtime(), &scene.app().skin);
  model::FrmMain& window = scene.app().frmMain;
  window.Show();
  window.frmResults.SetVisible(true);
  window.lblDeletingPercentageCompleted.SetVisible(true);
  model::ApplyTimerSettings(scene.app(), false);
  QCoreApplication::processEvents();

  MeasureWaits(state, scene.app());
}
BENCHMARK(BM_SettleWaitQt)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_SettleWaitHeadless(benchmark::State& state) {
  forms::HeadlessBackend backend;
  Scene scene(backend);
  MeasureWaits(state, scene.app());
}
BENCHMARK(BM_SettleWaitHeadless)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
