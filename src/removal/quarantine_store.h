#pragma once
// The quarantine folder and the one way an item gets into it: the path guard asked at that
// moment, the item copied under a name of its own and checked against the source, its log
// entry written, and only then the source deleted, and only while it is still what was copied.
// Nothing is lost: a copy that fails or does not match, a log entry that cannot be written or a
// source that changed meanwhile leaves the source where it was, and a source that cannot be
// deleted takes its copy and its entry back out, so the folder holds each moved item exactly
// once and the log names exactly what was moved.
//
// A store holds the folder open and looks at it once, when it is made, keeping track of the
// names it adds, so a removal costs the same however many items the folder holds already. It is
// made for one removal pass; the folder's own content is not expected to change by other hands
// meanwhile (a name that appears anyway is still never overwritten).

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "machine/descriptor.h"

namespace services {
struct System;
}

namespace removal {

class PathGuard;

// The log file's name; no quarantined item is ever stored under it.
inline constexpr std::string_view kQuarantineLogName = "QuarantineLog.txt";

// The folder "quarantine" in the program folder.
std::string QuarantineFolderPath(const services::System& system);

// Appends an entry to QuarantineLog.txt (creating it) without a store at hand. False when it
// cannot be written whole; a log that is not a plain file (a link, a folder) is never written.
bool AppendToQuarantineLog(const services::System& system, std::string_view text);

enum class MoveStatus {
  kMoved,          // the copy is in the quarantine folder, logged, and the source is gone
  kNotThere,       // no file (or folder) at the path
  kRefused,        // the path guard refused it where it was when the move began
  kCopyFailed,     // no complete copy could be made; the source is untouched
  kLogFailed,      // its log entry could not be written; the copy was taken out again
  kChanged,        // the source changed while it was copied; the copy was taken out again
  kDeleteFailed,   // the source could not be deleted; its copy and entry were taken out again
  kPartlyDeleted,  // a folder lost part of its content: the whole copy stays in the quarantine
};

struct MoveResult {
  MoveStatus status = MoveStatus::kNotThere;
  // The name the item was stored under; empty when nothing stays in the quarantine folder.
  std::string stored_name;
};

// The log entry for an item, given the name it is stored under.
using LogEntryText = std::function<std::string(std::string_view stored_name)>;

class QuarantineStore {
 public:
  explicit QuarantineStore(services::System& system);
  QuarantineStore(const QuarantineStore&) = delete;
  QuarantineStore& operator=(const QuarantineStore&) = delete;

  // False when there is no quarantine folder: nothing can be moved then.
  bool ok() const { return folder_.ok(); }

  // Moves a file, or a folder with everything in it, writing `entry` to the log. The item's
  // name is the last name of the path. It is stored under the first free name: the name
  // itself, then "name (2).ext", "name (3).ext" ... (a folder: "name (2)" ...); a name is taken
  // when anything of that name is in the folder, letter case ignored, and the log's name always
  // is.
  MoveResult MoveFile(std::string_view path, const PathGuard& guard, const LogEntryText& entry) {
    return Move(path, false, guard, entry);
  }
  MoveResult MoveFolder(std::string_view path, const PathGuard& guard, const LogEntryText& entry) {
    return Move(path, true, guard, entry);
  }

  // Runs between the copy (with its log entry) and the deletion of the source; tests change
  // the source there.
  std::function<void()> before_delete;

 private:
  struct Copied {
    std::string stored_name;
    std::string host_name;
  };

  MoveResult Move(std::string_view path, bool is_folder, const PathGuard& guard,
                  const LogEntryText& entry);
  bool CopyIn(int source, std::string_view name, bool is_folder, Copied& copied);
  void TakeBack(const Copied& copied, bool is_folder);
  bool IsTaken(const std::string& name) const;
  // Appends to the log, which stays open until the store goes: the log's length before the
  // entry, or nothing when it cannot be written whole.
  std::optional<off_t> AppendLog(std::string_view text);
  // Cuts the log back to `length`, taking back the entries after it.
  void WithdrawLog(off_t length);

  services::System& system_;
  machine::Descriptor folder_;
  std::string log_host_name_;
  machine::Descriptor log_;
  bool log_made_ = false;  // the log did not exist before this store wrote to it
  // Every name in the folder, folded to upper case.
  std::unordered_set<std::string> taken_;
};

}  // namespace removal
