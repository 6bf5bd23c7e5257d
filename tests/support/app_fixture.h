#pragma once
// An application object for a headless test: a fresh TempMachine, the machine opened on it (the
// real parts unless the test brings its own), the headless backend and its runtime, and the App
// with every window model built and none loaded. Header-only, so the support library needs no
// link to the upper layers.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "forms/headless_backend.h"
#include "forms/runtime.h"
#include "machine/clock.h"
#include "machine/date_time.h"
#include "machine/machine.h"
#include "model/app.h"
#include "services/settings_store.h"
#include "support/temp_machine.h"

namespace hg_test {

inline machine::VersionInfo TestVersionInfo() {
  machine::VersionInfo version;
  version.product_name = "Hearthguard";
  version.company_name = "Hearthguard Software";
  version.comments = "www.hearthguard.example";
  version.major = 1;
  version.minor = 0;
  version.executable_name = "hearthguard";
  return version;
}

// The real machine parts but a clock that always reads `now`.
inline machine::MachineParts FixedClockParts(const machine::DateTime& now) {
  machine::MachineParts parts;
  parts.clock = std::make_unique<machine::FixedClock>(now);
  return parts;
}

class AppFixture {
 public:
  // `prepare` may change the profile (drives, folders) and plant files before the machine is
  // opened on it; parts left empty in `parts` are the real ones.
  explicit AppFixture(const std::function<void(TempMachine&)>& prepare = {},
                      machine::VersionInfo version = TestVersionInfo(),
                      machine::MachineParts parts = {}) {
    if (prepare)
      prepare(temp);
    std::string error;
    machine_ = std::make_unique<machine::Machine>(temp.profile(), std::move(version),
                                                  std::move(parts), error);
    if (!machine_->ok()) {
      ADD_FAILURE() << "cannot open the test machine: " << error;
      return;
    }
    runtime_ = std::make_unique<forms::Runtime>(backend, machine_->version().product_name);
    app_ = model::MakeApp(*machine_, *runtime_);
  }
  explicit AppFixture(machine::VersionInfo version) : AppFixture({}, std::move(version)) {}
  ~AppFixture() {
    app_.reset();
    runtime_.reset();
    machine_.reset();
  }
  AppFixture(const AppFixture&) = delete;
  AppFixture& operator=(const AppFixture&) = delete;

  model::App& app() { return *app_; }
  model::FrmMain& main() { return app_->frmMain; }
  machine::Machine& machine() { return *machine_; }
  forms::Runtime& runtime() { return *runtime_; }

  // A per-user setting under the product name.
  void Save(std::string_view section, std::string_view key, std::string_view value) {
    services::WriteSetting(app_->system, app_->SettingsApplication(), section, key, value);
  }
  // A file in the program folder, at the exact spelling given.
  void WriteProgramFile(std::string_view name, std::string_view content) {
    temp.WriteFile(machine_->profile().program_folder + "\\" + std::string(name), content);
  }

  TempMachine temp;
  forms::HeadlessBackend backend;

 private:
  std::unique_ptr<machine::Machine> machine_;
  std::unique_ptr<forms::Runtime> runtime_;
  std::unique_ptr<model::App> app_;
};

}  // namespace hg_test
