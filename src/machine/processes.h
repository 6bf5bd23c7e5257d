#pragma once
// Running programs, as the program's process services see them.
//
// Real processes come from /proc. A process whose executable lies under a mapped drive shows
// under its Windows path ("C:\Program Files\X\APP.EXE"); when that file has been deleted since
// the start, under the path it had. Any other process cannot be opened: it has no name, is
// missing from the snapshot and is never signalled. Ids 0 and 2 are never opened (the platform
// reserves them for its idle and system processes).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace machine {

class FileSystem;

// A process opened by id. It stays bound to the process it was opened on, so ending it can
// never reach a later process that happens to reuse the id.
class OpenedProcess {
 public:
  virtual ~OpenedProcess() = default;
  virtual uint32_t Id() const = 0;
  // Full Windows path of the first module, which is the executable (where it lay, when it has
  // been deleted since).
  virtual const std::string& ModuleFileName() const = 0;
  // The first module's base name: its path's text after the last "\".
  std::string ModuleBaseName() const;
  // Ends the process. There are no exit codes for a killed process here, so `exit_code` is
  // accepted and not used. True only when the kill was delivered.
  virtual bool Terminate(uint32_t exit_code) = 0;
};

// One entry of a process snapshot: the id and the executable's full Windows path.
struct ProcessSnapshotEntry {
  uint32_t id = 0;
  std::string exe_file;
};

// A privilege change made on the own token, in call order.
struct PrivilegeChange {
  std::string name;
  bool enabled = false;
};

class ProcessTable {
 public:
  virtual ~ProcessTable() = default;

  // Fills `ids` with running process ids, as many as fit, and sets `written` to the number
  // stored. A list that comes back full may have been cut short: ask again with more room.
  // False when the ids cannot be read at all.
  virtual bool EnumProcesses(std::span<uint32_t> ids, size_t& written) const = 0;

  // Opens a process for query and ending; nothing when it cannot be opened.
  virtual std::unique_ptr<OpenedProcess> OpenProcess(uint32_t id) const = 0;

  // Every process that can be opened, in id order; nothing when the table cannot be read.
  virtual std::optional<std::vector<ProcessSnapshotEntry>> Snapshot() const = 0;

  // Privileges of the own token. False when the privilege cannot be changed.
  virtual bool EnablePrivilege(std::string_view name) = 0;
  virtual bool DisablePrivilege(std::string_view name) = 0;
};

// The host's processes from /proc, named through the file system view's drives.
class ProcfsProcessTable final : public ProcessTable {
 public:
  explicit ProcfsProcessTable(const FileSystem& files);

  bool EnumProcesses(std::span<uint32_t> ids, size_t& written) const override;
  std::unique_ptr<OpenedProcess> OpenProcess(uint32_t id) const override;
  std::optional<std::vector<ProcessSnapshotEntry>> Snapshot() const override;

  // A Linux process has no token privileges to raise: both always succeed and are recorded.
  bool EnablePrivilege(std::string_view name) override;
  bool DisablePrivilege(std::string_view name) override;
  const std::vector<PrivilegeChange>& privilege_changes() const { return privilege_changes_; }

 private:
  // All ids in /proc, ascending; nothing when /proc cannot be read.
  std::optional<std::vector<uint32_t>> ReadIds() const;

  const FileSystem& files_;
  std::vector<PrivilegeChange> privilege_changes_;
};

}  // namespace machine
