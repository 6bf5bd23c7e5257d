#pragma once
// The quarantine folder and the one way an item gets into it: copied under a name of its own,
// the copy checked against the source, and only then the source deleted. Nothing is lost: a
// copy that fails or does not match leaves the source where it was, and a source that cannot
// be deleted takes its copy back out, so the folder holds each moved item exactly once.

#include <string>
#include <string_view>

namespace services {
struct System;
}

namespace removal {

// The log file's name; no quarantined item is ever stored under it.
inline constexpr std::string_view kQuarantineLogName = "QuarantineLog.txt";

// The folder "quarantine" in the program folder.
std::string QuarantineFolderPath(const services::System& system);

enum class MoveStatus {
  kMoved,          // the copy is in the quarantine folder and the source is gone
  kNotThere,       // no file (or folder) at the path
  kCopyFailed,     // no complete copy could be made; the source is untouched
  kDeleteFailed,   // the source could not be deleted; its copy was taken out again
  kPartlyDeleted,  // a folder lost part of its content: the whole copy stays in the quarantine
};

struct MoveResult {
  MoveStatus status = MoveStatus::kNotThere;
  // The name the item was stored under; empty when nothing stays in the quarantine folder.
  std::string stored_name;
};

// The first free name for an item called `name` in the quarantine folder: the name itself,
// then "name (2).ext", "name (3).ext" ... (a folder: "name (2)" ...). A name is taken when
// anything of that name is in the folder, letter case ignored, and the log's name is always
// taken. Empty when no free name is found.
std::string FreeQuarantineName(const services::System& system, std::string_view name,
                               bool is_folder);

// Moves a file, or a folder with everything in it, into the quarantine folder. `path` must
// already have passed the path guard. The item's name is the last name of the path.
MoveResult MoveFileToQuarantine(services::System& system, std::string_view path);
MoveResult MoveFolderToQuarantine(services::System& system, std::string_view path);

}  // namespace removal
