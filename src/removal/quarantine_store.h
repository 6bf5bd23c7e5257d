#pragma once
// The quarantine folder and the one way an item gets into it: copied under a name of its own,
// the copy checked against the source, and only then the source deleted. Nothing is lost: a
// copy that fails or does not match leaves the source where it was, and a source that cannot
// be deleted takes its copy back out, so the folder holds each moved item exactly once.
//
// A store looks at the folder once, when it is made, and keeps track of the names it adds, so
// a removal costs the same however many items the folder holds already. It is made for one
// removal pass; the folder's own content is not expected to change by other hands meanwhile
// (a name that appears anyway is still never overwritten).

#include <string>
#include <string_view>
#include <unordered_set>

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

class QuarantineStore {
 public:
  explicit QuarantineStore(services::System& system);
  ~QuarantineStore();
  QuarantineStore(const QuarantineStore&) = delete;
  QuarantineStore& operator=(const QuarantineStore&) = delete;

  // False when there is no quarantine folder: nothing can be moved then.
  bool ok() const { return !host_folder_.empty(); }

  // The first free name for an item called `name`: the name itself, then "name (2).ext",
  // "name (3).ext" ... (a folder: "name (2)" ...). A name is taken when anything of that name
  // is in the folder, letter case ignored; the log's name is always taken. Empty when the
  // folder is missing or no free name is found.
  std::string FreeName(std::string_view name, bool is_folder) const;

  // Moves a file, or a folder with everything in it. `path` must already have passed the path
  // guard. The item's name is the last name of the path.
  MoveResult MoveFile(std::string_view path) { return Move(path, false); }
  MoveResult MoveFolder(std::string_view path) { return Move(path, true); }

  // Appends to QuarantineLog.txt (creating it), which stays open until the store goes. False
  // when it cannot be written.
  bool AppendLog(std::string_view text);

 private:
  struct Copied {
    std::string stored_name;
    std::string host_path;
  };

  MoveResult Move(std::string_view path, bool is_folder);
  bool CopyIn(const std::string& source_host, std::string_view name, bool is_folder,
              Copied& copied);
  void TakeBack(const Copied& copied, bool is_folder);
  bool IsTaken(const std::string& name) const;

  services::System& system_;
  std::string host_folder_;
  std::string log_host_name_;
  int log_fd_ = -1;
  // Every name in the folder, folded to upper case.
  std::unordered_set<std::string> taken_;
};

}  // namespace removal
