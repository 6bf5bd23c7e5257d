#pragma once
// The last two stages of a scan: known files (FileDefinition.dat) and known folders
// (DirectoryDefinition.dat). A match that is not excluded becomes a removal target and, the
// first time its threat is seen, a scan-log row and a threat-list row.
//
// A line whose folder cannot be placed on this machine (a token with no folder here, or a path
// that is not "X:\..." after expansion) is never looked for. A line without a threat name (no
// "=", or nothing after it) is counted and shown like any other but never looked for either:
// a find without a threat could only give an orphan target row.

namespace model {
struct App;
}

namespace engine {

void ScanFileDefinitions(model::App& app);
void ScanDirectoryDefinitions(model::App& app);

}  // namespace engine
