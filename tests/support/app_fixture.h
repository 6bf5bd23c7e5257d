#pragma once
// An application object for a headless test: a fresh TempMachine, the real machine parts
// opened on it, the headless backend and its runtime, and the App with every window model built
// and none loaded. Header-only, so the support library needs no link to the upper layers.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "forms/headless_backend.h"
#include "forms/runtime.h"
#include "machine/machine.h"
#include "model/app.h"
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

class AppFixture {
 public:
  // `prepare` may change the profile (drives, folders) and plant files before the machine is
  // opened on it.
  explicit AppFixture(const std::function<void(TempMachine&)>& prepare = {}) {
    if (prepare)
      prepare(temp);
    std::string error;
    machine_ = machine::Machine::Open(temp.profile(), TestVersionInfo(), error);
    if (!machine_) {
      ADD_FAILURE() << "cannot open the test machine: " << error;
      return;
    }
    runtime_ = std::make_unique<forms::Runtime>(backend, machine_->version().product_name);
    app_ = model::MakeApp(*machine_, *runtime_);
  }
  ~AppFixture() {
    app_.reset();
    runtime_.reset();
    machine_.reset();
  }
  AppFixture(const AppFixture&) = delete;
  AppFixture& operator=(const AppFixture&) = delete;

  model::App& app() { return *app_; }
  machine::Machine& machine() { return *machine_; }
  forms::Runtime& runtime() { return *runtime_; }

  TempMachine temp;
  forms::HeadlessBackend backend;

 private:
  std::unique_ptr<machine::Machine> machine_;
  std::unique_ptr<forms::Runtime> runtime_;
  std::unique_ptr<model::App> app_;
};

}  // namespace hg_test
