#include "support/fuzz_app.h"

#include <memory>

#include "forms/headless_backend.h"
#include "forms/runtime.h"
#include "machine/machine.h"
#include "model/app.h"
#include "support/fuzz_machine.h"

namespace hg_fuzz {

namespace {

struct HeadlessApp {
  explicit HeadlessApp(machine::Machine& machine)
      : runtime(backend, machine.version().product_name), app(model::MakeApp(machine, runtime)) {}
  ~HeadlessApp() { app.reset(); }

  forms::HeadlessBackend backend;
  forms::Runtime runtime;
  std::unique_ptr<model::App> app;
};

}  // namespace

model::App& SharedApp() {
  static HeadlessApp shared(SharedMachine());
  return *shared.app;
}

}  // namespace hg_fuzz
