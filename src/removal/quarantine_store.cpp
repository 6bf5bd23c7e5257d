#include "removal/quarantine_store.h"

#include <sys/stat.h>

#include <filesystem>

#include "machine/encoding.h"
#include "machine/held_folder.h"
#include "machine/host_files.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "machine/verified_copy.h"
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
  const machine::Descriptor held = machine::OpenFolder(host->string());
  bool made = false;
  const machine::Descriptor log_fd =
      held.ok() ? machine::OpenForAppending(held.get(), log->filename().string(), made)
                : machine::Descriptor();
  return log_fd.ok() && machine::AppendWholeOrNothing(log_fd.get(), text).has_value();
}

QuarantineStore::QuarantineStore(services::System& system)
    : system_(system), log_host_name_(machine::WindowsTextToHost(kQuarantineLogName)) {
  const std::optional<fs::path> host = system.machine.files().Resolve(QuarantineFolderPath(system));
  if (!host)
    return;
  machine::Descriptor folder = machine::OpenFolder(host->string());
  if (!folder.ok())
    return;
  const std::optional<std::vector<std::string>> names = machine::EntryNames(folder.get());
  if (!names)
    return;
  const std::string log_folded = machine::ToUpper(kQuarantineLogName);
  for (const std::string& host_name : *names) {
    std::string folded = machine::ToUpper(machine::HostTextToWindows(host_name));
    if (folded == log_folded)
      log_host_name_ = host_name;
    taken_.insert(std::move(folded));
  }
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
    const bool made =
        is_folder ? machine::CopyAtomically(machine::PathToHeld(source),
                                            machine::PathToHeld(folder_.get()) + "/" + host_name)
                  : machine::CopyFileChecked(source, folder_.get(), host_name);
    if (made) {
      taken_.insert(machine::ToUpper(candidate));
      copied = {std::move(candidate), std::move(host_name)};
      return true;
    }
    // A name that appeared since the folder was looked at is skipped; any other failure ends
    // the attempt.
    if (!machine::EntryState(folder_.get(), host_name, machine::LastLink::kAsLink))
      return false;
    taken_.insert(machine::ToUpper(candidate));
  }
  return false;
}

void QuarantineStore::TakeBack(const Copied& copied, bool is_folder) {
  const bool removed = is_folder ? machine::RemoveEntryTree(folder_.get(), copied.host_name)
                                 : machine::RemoveEntry(folder_.get(), copied.host_name, false);
  if (removed)
    taken_.erase(machine::ToUpper(copied.stored_name));
}

std::optional<off_t> QuarantineStore::AppendLog(std::string_view text) {
  if (!log_.ok())
    log_ = machine::OpenForAppending(folder_.get(), log_host_name_, log_made_);
  return log_.ok() ? machine::AppendWholeOrNothing(log_.get(), text) : std::nullopt;
}

void QuarantineStore::WithdrawLog(off_t length) {
  if (!machine::CutBack(log_.get(), length) || length > 0 || !log_made_)
    return;
  // A log this store made and that holds nothing goes again, as if never written.
  if (machine::RemoveWhileHeld(folder_.get(), log_host_name_, log_.get())) {
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
  const machine::Descriptor folder = machine::OpenFolder(held.host_folder);
  held.folder_fd = folder.get();
  const machine::Descriptor item =
      folder.ok() ? machine::OpenEntryForReading(folder.get(), held.host_name, is_folder)
                  : machine::Descriptor();
  const std::optional<struct stat> content =
      item.ok() ? machine::HeldState(item.get()) : std::nullopt;
  if (!content || S_ISDIR(content->st_mode) != is_folder)
    return {MoveStatus::kNotThere, {}};
  // What the guard judges must be what was opened.
  const std::optional<struct stat> named =
      machine::EntryState(folder.get(), held.host_name, machine::LastLink::kAsLink);
  const std::optional<struct stat> target =
      machine::EntryState(folder.get(), held.host_name, machine::LastLink::kFollowed);
  if (!named || !target || !machine::SameFile(*target, *content))
    return {MoveStatus::kChanged, {}};
  held.named = *named;
  held.target = *target;
  if (guard.CheckHeld(path, held) != PathRefusal::kNone)
    return {MoveStatus::kRefused, {}};

  const std::optional<std::string> name = ItemNameOf(path);
  Copied copied;
  if (!ok() || !name || !CopyIn(item.get(), *name, is_folder, copied))
    return {MoveStatus::kCopyFailed, {}};
  // A file's copy was checked as it was made; a folder's is checked now.
  machine::TreeStamps stamps;
  if (is_folder &&
      !machine::SameTree(machine::PathToHeld(item.get()),
                         machine::PathToHeld(folder_.get()) + "/" + copied.host_name, stamps)) {
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
  const std::optional<struct stat> named_now =
      machine::EntryState(folder.get(), held.host_name, machine::LastLink::kAsLink);
  const std::optional<struct stat> content_now = machine::HeldState(item.get());
  if (!named_now || !machine::Unchanged(held.named, *named_now) || !content_now ||
      !machine::Unchanged(*content, *content_now)) {
    return take_back(MoveStatus::kChanged);
  }
  // A link goes, not what it leads to.
  if (!is_folder || S_ISLNK(held.named.st_mode)) {
    if (!machine::RemoveEntry(folder.get(), held.host_name, false))
      return take_back(MoveStatus::kDeleteFailed);
    return {MoveStatus::kMoved, std::move(copied.stored_name)};
  }
  const machine::TreeRemoval removal = machine::RemoveUnchangedContent(item.get(), stamps);
  if (removal.left == 0 && machine::RemoveEntry(folder.get(), held.host_name, true))
    return {MoveStatus::kMoved, std::move(copied.stored_name)};
  // A folder that lost nothing can take its copy back; one that lost anything cannot.
  if (removal.removed == 0)
    return take_back(MoveStatus::kDeleteFailed);
  return {MoveStatus::kPartlyDeleted, std::move(copied.stored_name)};
}

}  // namespace removal
