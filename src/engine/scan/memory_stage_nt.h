#pragma once
// The running-program stage on the NT family: each running program's full path is compared
// with the paths built from ExeDefinition.dat. During a scan a match is ended at once and
// logged; outside a scan (the memory shield) it goes to the caller's alert.
//
// The stop request and the "EXCLUDED: " rows belong to a scan: outside one neither applies.

#include <optional>
#include <string>
#include <string_view>

#include "engine/scan/running_programs.h"

namespace model {
struct App;
}

namespace engine {

void InspectProcessesNT(model::App& app, const DetectionAlert& alert = {});

// The path a decoded line of ExeDefinition.dat names: its folder field (ExeFolderField) with its
// folder tokens expanded, "\" and the name field; double backslashes made single. Nothing for a
// line without "=", a line whose folder names a token this machine has no folder for, or a path
// that is not "X:\..." (such a path would be resolved against whatever folder the process is in).
std::optional<std::string> ExeDefinitionPath(const model::App& app, std::string_view decoded_line);

}  // namespace engine
