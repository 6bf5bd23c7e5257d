#include "engine/scan/inspect_memory.h"

#include "engine/scan/memory_stage_9x.h"
#include "engine/scan/memory_stage_nt.h"
#include "machine/machine.h"
#include "model/app.h"

namespace engine {

void InspectMemory(model::App& app, const DetectionAlert& alert) {
  switch (app.machine.profile().os_family) {
    case machine::OsFamily::kNt:
      InspectProcessesNT(app, alert);
      break;
    case machine::OsFamily::kWin9x:
      InspectProcesses9x(app);
      break;
  }
}

}  // namespace engine
