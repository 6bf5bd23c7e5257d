#include "engine/scan/scan_progress.h"

namespace engine {

void UpdateScanProgress(model::App&, std::string_view, int16_t, int16_t) {}

}  // namespace engine
