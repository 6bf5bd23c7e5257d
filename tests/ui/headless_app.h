#pragma once
// An application object on a fresh test machine and a headless runtime, for the tests of the
// windows' models and logic.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "forms/headless_backend.h"
#include "forms/runtime.h"
#include "machine/machine.h"
#include "model/app.h"
#include "services/settings_store.h"
#include "support/temp_machine.h"

namespace ui_test {

inline machine::VersionInfo SampleVersion() {
  machine::VersionInfo version;
  version.product_name = "Hearthguard";
  version.company_name = "Hearthguard Software";
  version.comments = "www.hearthguard.example";
  version.major = 1;
  version.minor = 0;
  version.executable_name = "hearthguard";
  return version;
}

class HeadlessApp {
 public:
  explicit HeadlessApp(machine::VersionInfo version = SampleVersion()) {
    std::string error;
    machine_ = machine::Machine::Open(temp.profile(), std::move(version), error);
    if (!machine_) {
      ADD_FAILURE() << "cannot open the test machine: " << error;
      return;
    }
    runtime_ = std::make_unique<forms::Runtime>(backend, "");
    app_ = model::MakeApp(*machine_, *runtime_);
  }
  ~HeadlessApp() {
    app_.reset();
    runtime_.reset();
    machine_.reset();
  }

  model::App& app() { return *app_; }
  model::FrmMain& main() { return app_->frmMain; }
  forms::Runtime& runtime() { return *runtime_; }

  // A per-user setting under the product name.
  void Save(std::string_view section, std::string_view key, std::string_view value) {
    services::WriteSetting(app_->system, app_->SettingsApplication(), section, key, value);
  }
  // A file in the program folder, at the exact spelling given.
  void WriteProgramFile(std::string_view name, std::string_view content) {
    temp.WriteFile(app_->machine.profile().program_folder + "\\" + std::string(name), content);
  }

  hg_test::TempMachine temp;
  forms::HeadlessBackend backend;

 private:
  std::unique_ptr<machine::Machine> machine_;
  std::unique_ptr<forms::Runtime> runtime_;
  std::unique_ptr<model::App> app_;
};

}  // namespace ui_test
