#pragma once
// The definition set: the five definition files in the program folder, the presence check every
// scan makes first, the deletion of a damaged set, the per-kind counts, and the installation of
// downloaded replacements at start-up.

#include <cstdint>

namespace model {
struct App;
}

namespace engine {

// True when all five definition files are present as normal files. At the first one missing
// (hidden or system counts as missing) it shows "Files Missing, Run Live Update" in
// lblDefVersion, deletes the whole set and returns false.
bool CheckDefinitionFiles(model::App& app);

// Deletes the five definition files and date.dat; a file that cannot be deleted is passed over.
void DeleteDefinitionFiles(model::App& app);

// Counts the lines of each present definition file into the per-kind counts and returns their
// total; the caller stores it as lngTotalDefinitions. A file that is absent or cannot be read
// adds nothing.
int32_t CountDefinitions(model::App& app);

// Puts each downloaded replacement ("DL" and the file's name) in place of the live file, by an
// atomic rename, then reloads the ignore list. A replacement that cannot be installed stays
// where it is and the live file is kept.
void InstallDownloadedDefinitions(model::App& app);

}  // namespace engine
