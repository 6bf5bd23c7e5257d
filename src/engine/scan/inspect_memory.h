#pragma once
// The one entry of the running-program check, for the scan and for the memory shield: runs the
// stage of the machine's OS family.

#include "engine/scan/running_programs.h"

namespace model {
struct App;
}

namespace engine {

// NT family: InspectProcessesNT, whose detections outside a scan go to `alert` (the memory
// shield's); 95/98/ME family: InspectProcesses9x, which asks on its own.
void InspectMemory(model::App& app, const DetectionAlert& alert = {});

}  // namespace engine
