// Registry look-ups (open + query + close) against plain prepared SQLite look-ups of the same
// keys and values in a flat table: the price of the registry's semantics (handles, case
// folding, Win32 statuses). BM_RegistryToPlainRatio runs both in one pass and reports the ratio.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_machine.h"
#include "machine/registry.h"

namespace {

constexpr int kKeys = 10000;
constexpr int kLookups = 100000;

struct Lookup {
  std::string key;
  std::string value;
};

// Both stores, filled with the same keys and values: the machine's registry and a plain
// database in its folder.
class Stores {
 public:
  Stores() {
    if (sqlite3_open((machine_.root() / "plain.db").c_str(), &plain_) != SQLITE_OK)
      std::abort();
    Exec(
        "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;"
        "CREATE TABLE plain(path BLOB, name BLOB, type INTEGER, data BLOB,"
        " PRIMARY KEY(path, name)) WITHOUT ROWID; BEGIN;");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(plain_, "INSERT INTO plain VALUES(?1, ?2, ?3, ?4)", -1, &insert, nullptr);
    for (int i = 0; i < kKeys; ++i) {
      const std::string key = "SOFTWARE\\Vendor" + std::to_string(i % 100) + "\\Product" +
                              std::to_string(i) + "\\Settings";
      const std::string name = i % 2 ? "Path" : "Count";
      const uint32_t type = i % 2 ? machine::kRegSz : machine::kRegDword;
      const std::string data =
          i % 2 ? std::string("C:\\Program Files\\x.exe\0", 23) : std::string("\x0A\0\0\0", 4);
      machine::RegHandle h = 0;
      registry_.CreateKey(machine::kHkeyLocalMachine, key, h);
      registry_.SetValue(h, name, type, data);
      registry_.CloseKey(h);
      sqlite3_bind_blob(insert, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
      sqlite3_bind_blob(insert, 2, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
      sqlite3_bind_int64(insert, 3, type);
      sqlite3_bind_blob(insert, 4, data.data(), static_cast<int>(data.size()), SQLITE_STATIC);
      sqlite3_step(insert);
      sqlite3_reset(insert);
      lookups_.push_back({key, name});
    }
    sqlite3_finalize(insert);
    Exec("COMMIT");
    sqlite3_prepare_v2(plain_, "SELECT type, data FROM plain WHERE path = ?1 AND name = ?2", -1,
                       &select_, nullptr);
  }
  ~Stores() {
    sqlite3_finalize(select_);
    sqlite3_close(plain_);
  }

  // What a registry scan does per entry: open the key, learn the value's type and size, read
  // it, close the key.
  int64_t RegistryLookups() {
    int64_t bytes = 0;
    char buffer[256];
    for (int i = 0; i < kLookups; ++i) {
      const Lookup& l = lookups_[static_cast<size_t>(i) % lookups_.size()];
      machine::RegHandle h = 0;
      if (registry_.OpenKey(machine::kHkeyLocalMachine, l.key, h) != machine::kRegSuccess)
        std::abort();
      uint32_t type = 0;
      uint32_t size = 0;
      registry_.QueryValue(h, l.value, &type, nullptr, &size);
      size = sizeof buffer;
      registry_.QueryValue(h, l.value, &type, buffer, &size);
      registry_.CloseKey(h);
      bytes += size;
    }
    return bytes;
  }

  int64_t PlainLookups() {
    int64_t bytes = 0;
    for (int i = 0; i < kLookups; ++i) {
      const Lookup& l = lookups_[static_cast<size_t>(i) % lookups_.size()];
      sqlite3_bind_blob(select_, 1, l.key.data(), static_cast<int>(l.key.size()), SQLITE_STATIC);
      sqlite3_bind_blob(select_, 2, l.value.data(), static_cast<int>(l.value.size()),
                        SQLITE_STATIC);
      if (sqlite3_step(select_) != SQLITE_ROW)
        std::abort();
      bytes += sqlite3_column_bytes(select_, 1);
      sqlite3_reset(select_);
    }
    return bytes;
  }

 private:
  void Exec(const char* sql) {
    if (sqlite3_exec(plain_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
      std::abort();
  }

  bench::BenchMachine machine_{"registry"};
  machine::Registry& registry_ = machine_.machine().registry();
  sqlite3* plain_ = nullptr;
  sqlite3_stmt* select_ = nullptr;
  std::vector<Lookup> lookups_;
};

Stores& TheStores() {
  static Stores stores;
  return stores;
}

void BM_RegistryLookups(benchmark::State& state) {
  Stores& stores = TheStores();
  for (auto _ : state)
    benchmark::DoNotOptimize(stores.RegistryLookups());
  state.SetItemsProcessed(state.iterations() * kLookups);
}
BENCHMARK(BM_RegistryLookups)->Unit(benchmark::kMillisecond);

void BM_PlainSqliteLookups(benchmark::State& state) {
  Stores& stores = TheStores();
  for (auto _ : state)
    benchmark::DoNotOptimize(stores.PlainLookups());
  state.SetItemsProcessed(state.iterations() * kLookups);
}
BENCHMARK(BM_PlainSqliteLookups)->Unit(benchmark::kMillisecond);

void BM_RegistryToPlainRatio(benchmark::State& state) {
  Stores& stores = TheStores();
  using Clock = std::chrono::steady_clock;
  Clock::duration registry{}, plain{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    benchmark::DoNotOptimize(stores.RegistryLookups());
    const auto t1 = Clock::now();
    benchmark::DoNotOptimize(stores.PlainLookups());
    const auto t2 = Clock::now();
    registry += t1 - t0;
    plain += t2 - t1;
  }
  const double registry_ms = std::chrono::duration<double, std::milli>(registry).count();
  const double plain_ms = std::chrono::duration<double, std::milli>(plain).count();
  const double runs = static_cast<double>(state.iterations());
  state.counters["registry_ms"] = registry_ms / runs;
  state.counters["plain_ms"] = plain_ms / runs;
  state.counters["ratio"] = plain_ms > 0 ? registry_ms / plain_ms : 0;
}
BENCHMARK(BM_RegistryToPlainRatio)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
