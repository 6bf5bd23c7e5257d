#pragma once
// The definition set: the five definition files in the program folder, the presence check every
// scan makes first, the deletion of a damaged set, the per-kind counts, and the installation of
// downloaded replacements at start-up.

#include <cstdint>

namespace model {
struct App;
struct DefinitionsState;
}  // namespace model

namespace engine {

// True when all five definition files are present as normal files. At the first one missing
// (hidden or system counts as missing) it shows "Files Missing, Run Live Update" in
// lblDefVersion, deletes the whole set and returns false.
bool CheckDefinitionFiles(model::App& app);

// True when each of the five definition files can be opened for reading and is within the size
// a definition file may have. A set that cannot be read is left as it is.
bool DefinitionFilesReadable(const model::App& app);

// Deletes the five definition files and date.dat; a file that cannot be deleted is passed over.
// Then counts what is left into the counts and lngTotalDefinitions.
void DeleteDefinitionFiles(model::App& app);

// Counts the lines of each present definition file into the per-kind counts and returns their
// total; the caller stores it as lngTotalDefinitions. A file that is absent or cannot be read
// adds nothing.
int64_t CountDefinitions(model::App& app);

// The lines of each definition file.
struct DefinitionFileLines {
  int64_t cookies = 0;
  int64_t exe = 0;
  int64_t registry = 0;
  int64_t files = 0;
  int64_t folders = 0;
};

// Sets the per-kind counts from the lines of the files and returns their total.
int64_t StoreDefinitionCounts(model::DefinitionsState& counts, const DefinitionFileLines& lines);

// Removes from the program folder the temporary files that a replacement stopped midway (the
// program killed, the machine off) left there; for the start, before anything else writes there.
void RemoveLeftoverTemporaryFiles(model::App& app);

// Puts each downloaded replacement ("DL" and the file's name) in place of the live file, by an
// atomic rename that reaches the disk like every replacement, then reloads the ignore list. A
// replacement that cannot be installed stays where it is and the live file is kept.
void InstallDownloadedDefinitions(model::App& app);

}  // namespace engine
