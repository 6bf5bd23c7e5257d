#include "engine/shields/memory_shield.h"

#include "engine/scan/inspect_memory.h"

namespace engine {

void RunMemoryShield(model::App& app) {
  InspectMemory(app);
}

}  // namespace engine
