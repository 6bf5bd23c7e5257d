// The registry stage, run headless over 100,000 definition lines (10,000 keys, each named by
// ten lines: the key, a missing sub-key, four values of four types and four missing values, so
// half the lines find something; upper case while the hive holds mixed case), against plain
// SQLite look-ups of the same keys and values in the same hive file, opened directly with
// prepared statements and folded paths worked out beforehand.
// Counters: stage_ms, plain_ms (each look-up its own read transaction, as SQLite does by
// default) and plain_txn_ms (all look-ups in one read transaction) per run, with the ratios;
// services_ms is the registry services' existence tests alone over the same lines.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench_machine.h"
#include "engine/scan/registry_stage.h"
#include "forms/headless_backend.h"
#include "forms/runtime.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "model/app.h"
#include "services/registry_related.h"
#include "services/text_codec.h"

namespace {

namespace fs = std::filesystem;

constexpr int kKeys = 10000;
constexpr int kLinesPerKey = 10;

struct Lookup {
  std::string key;           // as the line writes it
  std::string value;         // "" for a whole-key line
  std::string folded_key;    // "HKEY_LOCAL_MACHINE\SOFTWARE\..."
  std::string folded_value;  // "" for a whole-key line
};

struct Scene {
  bench::BenchMachine bench_machine{"registry-scan"};
  machine::Machine& machine = bench_machine.machine();
  const fs::path machine_hive = machine.profile().machine_hive;
  std::vector<Lookup> lookups;
  forms::HeadlessBackend backend;
  std::unique_ptr<forms::Runtime> runtime;
  std::unique_ptr<model::App> app;

  Scene() {
    struct Value {
      const char* name;
      uint32_t type;
      std::string data;
    };
    const Value values[] = {
        {"Path", machine::kRegSz, std::string("C:\\Program Files\\x.exe\0", 23)},
        {"Count", machine::kRegDword, std::string("\x0A\0\0\0", 4)},
        {"Blob", machine::kRegBinary, std::string("\x01\x02\x03", 3)},
        {"Expand", machine::kRegExpandSz, std::string("%WINDIR%\\x.exe\0", 15)},
    };
    const char* const missing_values[] = {"Gone", "Absent", "Removed", "Never"};

    machine::Registry& registry = machine.registry();
    std::string lines;
    for (int k = 0; k < kKeys; ++k) {
      char key[64];
      std::snprintf(key, sizeof key, "Software\\Vendor%02d\\Product%05d", k % 100, k);
      char threat[32];
      std::snprintf(threat, sizeof threat, "Threat %05d", k);
      machine::RegHandle handle = 0;
      if (registry.CreateKey(machine::kHkeyLocalMachine, key, handle) != machine::kRegSuccess)
        std::abort();
      for (const Value& value : values)
        registry.SetValue(handle, value.name, value.type, value.data);
      registry.CloseKey(handle);

      const std::string upper_key = machine::ToUpper(key);
      const std::string folded_key = "HKEY_LOCAL_MACHINE\\" + upper_key;
      auto add = [&](const std::string& line_key, const std::string& folded, std::string name) {
        lines +=
            services::EncodeText("2^" + line_key + "^" + name + "^=" + threat + "|Adware") + "\r\n";
        lookups.push_back({line_key, name, folded, machine::ToUpper(name)});
      };
      add(upper_key, folded_key, "");
      add(upper_key + "\\MISSING", folded_key + "\\MISSING", "");
      for (const Value& value : values)
        add(upper_key, folded_key, machine::ToUpper(value.name));
      for (const char* name : missing_values)
        add(upper_key, folded_key, machine::ToUpper(name));
    }
    machine.files().WriteFile(machine.profile().program_folder + "\\RegistryDefinition.dat", lines);
    runtime = std::make_unique<forms::Runtime>(backend, bench_machine.version().product_name);
    app = model::MakeApp(machine, *runtime);
    app->definitions.lngRegistryDefinitionCount = kKeys * kLinesPerKey;
    app->definitions.lngTotalDefinitions = app->definitions.lngRegistryDefinitionCount;
  }

  // What a scan run resets before its stages.
  void Reset() {
    model::FrmMain& main = app->frmMain;
    main.lvwSpywareFound.Clear();
    main.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Clear();
    main.lvwRegistryToBeDeleted.Clear();
    main.lbltracesFound.SetCaption("0");
    app->scan.lngRegistryItemsInspected = 0;
    app->scan.lngThreatsFound = 0;
    app->scan.bStopScan = false;
    app->scan.strScanPhaseCaption = "Scanning Registry: ";
  }
};

// The stage's own existence tests alone, on lines parsed beforehand: what the registry layer
// costs inside the stage.
int ServiceLookups(model::App& app, const std::vector<Lookup>& lookups) {
  int found = 0;
  for (const Lookup& l : lookups) {
    found += (l.value.empty()
                  ? services::RegistryKeyExists(app.system, machine::kHkeyLocalMachine, l.key)
                  : services::RegistryValueExists(app.system, machine::kHkeyLocalMachine, l.key,
                                                  l.value))
                 ? 1
                 : 0;
  }
  return found;
}

// The same look-ups straight on the hive file: find the key's row by its folded path, then,
// for a value line, the value's row.
class PlainLookups {
 public:
  explicit PlainLookups(const fs::path& hive) {
    if (sqlite3_open_v2(hive.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db_, "SELECT id FROM keys WHERE path = ?1", -1, &key_, nullptr) !=
            SQLITE_OK ||
        sqlite3_prepare_v2(db_, "SELECT 1 FROM vals WHERE key = ?1 AND folded = ?2", -1, &value_,
                           nullptr) != SQLITE_OK) {
      std::abort();
    }
  }
  ~PlainLookups() {
    sqlite3_finalize(key_);
    sqlite3_finalize(value_);
    sqlite3_close(db_);
  }

  int Run(const std::vector<Lookup>& lookups, bool one_transaction) {
    if (one_transaction)
      sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
    int found = 0;
    for (const Lookup& l : lookups) {
      sqlite3_bind_blob(key_, 1, l.folded_key.data(), static_cast<int>(l.folded_key.size()),
                        SQLITE_STATIC);
      if (sqlite3_step(key_) == SQLITE_ROW) {
        const sqlite3_int64 id = sqlite3_column_int64(key_, 0);
        if (l.folded_value.empty()) {
          ++found;
        } else {
          sqlite3_bind_int64(value_, 1, id);
          sqlite3_bind_blob(value_, 2, l.folded_value.data(),
                            static_cast<int>(l.folded_value.size()), SQLITE_STATIC);
          if (sqlite3_step(value_) == SQLITE_ROW)
            ++found;
          sqlite3_reset(value_);
        }
      }
      sqlite3_reset(key_);
    }
    if (one_transaction)
      sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    return found;
  }

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* key_ = nullptr;
  sqlite3_stmt* value_ = nullptr;
};

void BM_RegistryStage(benchmark::State& state) {
  Scene scene;
  PlainLookups plain(scene.machine_hive);
  using Clock = std::chrono::steady_clock;
  double stage_s = 0;
  double plain_s = 0;
  double plain_txn_s = 0;
  double services_s = 0;
  int plain_found = 0;
  for (auto _ : state) {
    state.PauseTiming();
    scene.Reset();
    state.ResumeTiming();
    const auto start = Clock::now();
    engine::ScanRegistryDefinitions(*scene.app);
    stage_s += std::chrono::duration<double>(Clock::now() - start).count();

    state.PauseTiming();
    const auto plain_start = Clock::now();
    plain_found = plain.Run(scene.lookups, false);
    const auto txn_start = Clock::now();
    benchmark::DoNotOptimize(plain.Run(scene.lookups, true));
    const auto txn_end = Clock::now();
    benchmark::DoNotOptimize(ServiceLookups(*scene.app, scene.lookups));
    services_s += std::chrono::duration<double>(Clock::now() - txn_end).count();
    plain_s += std::chrono::duration<double>(txn_start - plain_start).count();
    plain_txn_s += std::chrono::duration<double>(txn_end - txn_start).count();
    state.ResumeTiming();
  }
  const int found = scene.app->frmMain.lvwRegistryToBeDeleted.Count();
  if (found != kKeys * kLinesPerKey / 2 || plain_found != found ||
      scene.app->scan.lngThreatsFound != kKeys) {
    state.SkipWithError("the stage and the plain look-ups disagree on what is there");
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["stage_ms"] = 1000 * stage_s / runs;
  state.counters["plain_ms"] = 1000 * plain_s / runs;
  state.counters["plain_txn_ms"] = 1000 * plain_txn_s / runs;
  state.counters["services_ms"] = 1000 * services_s / runs;
  state.counters["ratio"] = stage_s / plain_s;
  state.counters["ratio_txn"] = stage_s / plain_txn_s;
  state.counters["lines"] = static_cast<double>(scene.lookups.size());
}
BENCHMARK(BM_RegistryStage)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
