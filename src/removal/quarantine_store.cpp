#include "removal/quarantine_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "machine/encoding.h"
#include "machine/host_files.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "removal/quarantine_copy.h"
#include "removal/safe_path.h"
#include "services/system.h"

namespace removal {

namespace {

namespace fs = std::filesystem;

// Beyond this many candidates the folder is considered full for that name.
constexpr int kMostCandidates = 100000;

// The item's own name: the last name of the path as the file system sees it.
std::optional<std::string> ItemNameOf(std::string_view path) {
  const std::optional<machine::WindowsPath> parsed = machine::ParseWindowsPath(path);
  if (!parsed || parsed->components.empty())
    return std::nullopt;
  return parsed->components.back();
}

std::string Candidate(std::string_view name, bool is_folder, int number) {
  if (number == 1)
    return std::string(name);
  const std::string suffix = " (" + std::to_string(number) + ")";
  const size_t dot = is_folder ? std::string_view::npos : name.rfind('.');
  if (dot == std::string_view::npos || dot == 0)
    return std::string(name) + suffix;
  return std::string(name.substr(0, dot)) + suffix + std::string(name.substr(dot));
}

// Opens the log in the held quarantine folder for appending, creating it: never through a link,
// and only when it is a plain file. `made` tells whether it was created now.
Descriptor OpenLog(int folder_fd, const std::string& host_name, bool& made) {
  constexpr int kFlags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  Descriptor log(openat(folder_fd, host_name.c_str(), kFlags | O_CREAT | O_EXCL, 0666));
  made = log.ok();
  if (!made && errno == EEXIST)
    log = Descriptor(openat(folder_fd, host_name.c_str(), kFlags));
  struct stat st {};
  if (log.ok() && (fstat(log.get(), &st) != 0 || !S_ISREG(st.st_mode)))
    log.Reset();
  return log;
}

// Appends a whole entry: the log's length before it, or nothing, with the log as it was, when
// it cannot be written whole.
std::optional<off_t> AppendEntry(int log_fd, std::string_view text) {
  struct stat st {};
  if (fstat(log_fd, &st) != 0)
    return std::nullopt;
  if (WriteWhole(log_fd, text))
    return st.st_size;
  if (ftruncate(log_fd, st.st_size) != 0) {
    // Nothing more can be done; the caller hears of the failure.
  }
  return std::nullopt;
}

}  // namespace

std::string QuarantineFolderPath(const services::System& system) {
  std::string folder = system.machine.profile().program_folder;
  while (!folder.empty() && folder.back() == '\\')
    folder.pop_back();
  return folder + "\\quarantine";
}

bool AppendToQuarantineLog(const services::System& system, std::string_view text) {
  const machine::FileSystem& files = system.machine.files();
  const std::string folder = QuarantineFolderPath(system);
  const std::optional<fs::path> host = files.Resolve(folder);
  const std::optional<fs::path> log =
      files.ResolveForCreate(folder + "\\" + std::string(kQuarantineLogName));
  if (!host || !log)
    return false;
  const Descriptor held = OpenFolder(host->string());
  bool made = false;
  const Descriptor log_fd =
      held.ok() ? OpenLog(held.get(), log->filename().string(), made) : Descriptor();
  return log_fd.ok() && AppendEntry(log_fd.get(), text).has_value();
}

QuarantineStore::QuarantineStore(services::System& system)
    : system_(system), log_host_name_(machine::WindowsTextToHost(kQuarantineLogName)) {
  const std::optional<fs::path> host = system.machine.files().Resolve(QuarantineFolderPath(system));
  if (!host)
    return;
  Descriptor folder = OpenFolder(host->string());
  if (!folder.ok())
    return;
  const std::string log_folded = machine::ToUpper(kQuarantineLogName);
  std::error_code error;
  for (fs::directory_iterator it(DescriptorPath(folder.get()), error), end; !error && it != end;
       it.increment(error)) {
    const std::string host_name = it->path().filename().string();
    std::string folded = machine::ToUpper(machine::HostTextToWindows(host_name));
    if (folded == log_folded)
      log_host_name_ = host_name;
    taken_.insert(std::move(folded));
  }
  if (!error)
    folder_ = std::move(folder);
}

bool QuarantineStore::IsTaken(const std::string& name) const {
  return machine::EqualsIgnoreCase(name, kQuarantineLogName) ||
         taken_.count(machine::ToUpper(name)) > 0;
}

bool QuarantineStore::CopyIn(int source, std::string_view name, bool is_folder, Copied& copied) {
  for (int number = 1; number <= kMostCandidates; ++number) {
    std::string candidate = Candidate(name, is_folder, number);
    if (IsTaken(candidate))
      continue;
    std::string host_name = machine::WindowsTextToHost(candidate);
    const bool made = is_folder
                          ? machine::CopyAtomically(DescriptorPath(source),
                                                    DescriptorPath(folder_.get()) + "/" + host_name)
                          : CopyFileChecked(source, folder_.get(), host_name);
    if (made) {
      taken_.insert(machine::ToUpper(candidate));
      copied = {std::move(candidate), std::move(host_name)};
      return true;
    }
    // A name that appeared since the folder was looked at is skipped; any other failure ends
    // the attempt.
    struct stat st {};
    if (fstatat(folder_.get(), host_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
      return false;
    taken_.insert(machine::ToUpper(candidate));
  }
  return false;
}

void QuarantineStore::TakeBack(const Copied& copied, bool is_folder) {
  std::error_code error;
  if (is_folder)
    fs::remove_all(DescriptorPath(folder_.get()) + "/" + copied.host_name, error);
  else if (unlinkat(folder_.get(), copied.host_name.c_str(), 0) != 0)
    error = std::error_code(errno, std::generic_category());
  if (!error)
    taken_.erase(machine::ToUpper(copied.stored_name));
}

std::optional<off_t> QuarantineStore::AppendLog(std::string_view text) {
  if (!log_.ok())
    log_ = OpenLog(folder_.get(), log_host_name_, log_made_);
  return log_.ok() ? AppendEntry(log_.get(), text) : std::nullopt;
}

void QuarantineStore::WithdrawLog(off_t length) {
  if (ftruncate(log_.get(), length) != 0 || length > 0 || !log_made_)
    return;
  // A log this store made and that holds nothing goes again, as if never written.
  struct stat held {};
  struct stat named {};
  if (fstat(log_.get(), &held) == 0 &&
      fstatat(folder_.get(), log_host_name_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
      SameFile(held, named) && unlinkat(folder_.get(), log_host_name_.c_str(), 0) == 0) {
    log_.Reset();
    log_made_ = false;
  }
}

MoveResult QuarantineStore::Move(std::string_view path, bool is_folder, const PathGuard& guard,
                                 const LogEntryText& entry) {
  // The entry the path names now is the one judged, copied and deleted, all through the held
  // folder, wherever that folder is moved or whatever replaces its name meanwhile.
  const std::optional<fs::path> found = system_.machine.files().Resolve(path);
  if (!found)
    return {MoveStatus::kNotThere, {}};
  PathGuard::HeldEntry held;
  held.host_folder = found->parent_path().string();
  held.host_name = found->filename().string();
  const Descriptor folder = OpenFolder(held.host_folder);
  held.folder_fd = folder.get();
  const char* host_name = held.host_name.c_str();
  const Descriptor item(
      folder.ok() ? openat(folder.get(), host_name,
                           O_RDONLY | O_NONBLOCK | O_CLOEXEC | (is_folder ? O_DIRECTORY : 0))
                  : -1);
  struct stat content {};
  if (!item.ok() || fstat(item.get(), &content) != 0 || S_ISDIR(content.st_mode) != is_folder)
    return {MoveStatus::kNotThere, {}};
  // What the guard judges must be what was opened.
  if (fstatat(folder.get(), host_name, &held.named, AT_SYMLINK_NOFOLLOW) != 0 ||
      fstatat(folder.get(), host_name, &held.target, 0) != 0 || !SameFile(held.target, content))
    return {MoveStatus::kChanged, {}};
  if (guard.CheckHeld(path, held) != PathRefusal::kNone)
    return {MoveStatus::kRefused, {}};

  const std::optional<std::string> name = ItemNameOf(path);
  Copied copied;
  if (!ok() || !name || !CopyIn(item.get(), *name, is_folder, copied))
    return {MoveStatus::kCopyFailed, {}};
  // A file's copy was checked as it was made; a folder's is checked now.
  TreeStamps stamps;
  if (is_folder && !SameTree(DescriptorPath(item.get()),
                             DescriptorPath(folder_.get()) + "/" + copied.host_name, stamps)) {
    TakeBack(copied, is_folder);
    return {MoveStatus::kCopyFailed, {}};
  }
  const std::optional<off_t> log_length = AppendLog(entry(copied.stored_name));
  if (!log_length) {
    TakeBack(copied, is_folder);
    return {MoveStatus::kLogFailed, {}};
  }
  const auto take_back = [&](MoveStatus status) -> MoveResult {
    WithdrawLog(*log_length);
    TakeBack(copied, is_folder);
    return {status, {}};
  };

  if (before_delete)
    before_delete();
  // Only the very entry that was copied is deleted.
  struct stat named_now {};
  struct stat content_now {};
  if (fstatat(folder.get(), host_name, &named_now, AT_SYMLINK_NOFOLLOW) != 0 ||
      !Unchanged(held.named, named_now) || fstat(item.get(), &content_now) != 0 ||
      !Unchanged(content, content_now)) {
    return take_back(MoveStatus::kChanged);
  }
  // A link goes, not what it leads to.
  if (!is_folder || S_ISLNK(held.named.st_mode)) {
    if (unlinkat(folder.get(), host_name, 0) != 0)
      return take_back(MoveStatus::kDeleteFailed);
    return {MoveStatus::kMoved, std::move(copied.stored_name)};
  }
  const TreeRemoval removal = RemoveUnchangedContent(item.get(), stamps);
  if (removal.left == 0 && unlinkat(folder.get(), host_name, AT_REMOVEDIR) == 0)
    return {MoveStatus::kMoved, std::move(copied.stored_name)};
  // A folder that lost nothing can take its copy back; one that lost anything cannot.
  if (removal.removed == 0)
    return take_back(MoveStatus::kDeleteFailed);
  return {MoveStatus::kPartlyDeleted, std::move(copied.stored_name)};
}

}  // namespace removal
