#include "model/app.h"

#include "model/timer_group.h"

namespace model {

App::App(machine::Machine& machine_in, forms::Runtime& runtime_in)
    : machine(machine_in),
      runtime(runtime_in),
      system(machine_in),
      frmMain(runtime_in),
      frmSplash(runtime_in),
      frmAbout(runtime_in),
      frmDelete(runtime_in),
      frmReport(runtime_in),
      frmDownload(runtime_in),
      frmSignatureUpdated(runtime_in),
      frmSpywareFoundAlert(runtime_in),
      frmHomePageChangedAlert(runtime_in),
      frmMenuPopUp(runtime_in),
      frmWebsite(runtime_in),
      Form8(runtime_in),
      frmHidden(runtime_in) {
  runtime.ConnectServices(system);
  InstallTimerGroupTicks(*this);
}

App::~App() = default;

std::unique_ptr<App> MakeApp(machine::Machine& machine, forms::Runtime& runtime) {
  return std::make_unique<App>(machine, runtime);
}

}  // namespace model
