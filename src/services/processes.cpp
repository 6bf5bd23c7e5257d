#include "services/processes.h"

#include <exception>
#include <memory>

#include "machine/machine.h"
#include "machine/processes.h"
#include "machine/text.h"
#include "services/system.h"

namespace services {

namespace {

constexpr std::string_view kDebugPrivilege = "SeDebugPrivilege";

// The first request has room for 128 ids (a 512-byte buffer); it doubles while the list comes
// back full. No system has more ids than this, so a list this long is complete.
constexpr size_t kFirstIdCapacity = 128;
constexpr size_t kMostIds = size_t{1} << 22;

bool PassesFilter(std::string_view name, std::string_view filter) {
  return filter.empty() || machine::FindIgnoreCase(name, filter) != std::string_view::npos;
}

bool TerminateOpened(machine::ProcessTable& table, uint32_t process_id, uint32_t exit_code) {
  const std::unique_ptr<machine::OpenedProcess> process = table.OpenProcess(process_id);
  return process != nullptr && process->Terminate(exit_code);
}

int32_t ListByEnumeration(System& system, std::vector<std::string>& names,
                          std::vector<uint32_t>& ids, std::string_view filter) {
  const machine::ProcessTable& table = system.machine.processes();
  std::vector<uint32_t> all;
  size_t written = 0;
  for (size_t capacity = kFirstIdCapacity;; capacity *= 2) {
    all.assign(capacity, 0);
    if (!table.EnumProcesses(all, written))
      return -1;
    if (written < capacity || capacity >= kMostIds)
      break;
  }
  all.resize(written);
  for (const uint32_t id : all) {
    std::string name = GetProcessNameById(system, id);
    if (name.empty() || !PassesFilter(name, filter))
      continue;
    names.push_back(std::move(name));
    ids.push_back(id);
  }
  return static_cast<int32_t>(names.size());
}

int32_t ListBySnapshot(System& system, std::vector<std::string>& names, std::vector<uint32_t>& ids,
                       std::string_view filter) {
  const auto snapshot = system.machine.processes().Snapshot();
  if (!snapshot)
    return -1;
  for (const machine::ProcessSnapshotEntry& entry : *snapshot) {
    std::string name = machine::CutAtNul(entry.exe_file);
    if (name.empty() || !PassesFilter(name, filter))
      continue;
    names.push_back(std::move(name));
    ids.push_back(entry.id);
  }
  return static_cast<int32_t>(names.size());
}

}  // namespace

bool TerminateProcessWithPrivilege(System& system, uint32_t process_id, uint32_t exit_code) {
  machine::ProcessTable& table = system.machine.processes();
  if (system.machine.profile().os_family != machine::OsFamily::kNt)
    return TerminateOpened(table, process_id, exit_code);
  if (!table.EnablePrivilege(kDebugPrivilege))
    return false;
  const bool ended = TerminateOpened(table, process_id, exit_code);
  table.DisablePrivilege(kDebugPrivilege);
  return ended;
}

int32_t GetProcessList(System& system, std::vector<std::string>& names, std::vector<uint32_t>& ids,
                       std::string_view filter, bool use_enumeration) {
  names.clear();
  ids.clear();
  try {
    const int32_t count = use_enumeration ? ListByEnumeration(system, names, ids, filter)
                                          : ListBySnapshot(system, names, ids, filter);
    if (count >= 0)
      return count;
  } catch (const std::exception&) {
    // Out of memory while listing: reported like a failed enumeration.
  }
  names.clear();
  ids.clear();
  return -1;
}

std::string GetProcessNameById(System& system, uint32_t process_id) {
  if (process_id == 0)
    return "System Idle Process";
  if (process_id == 2)
    return "System";
  const auto process = system.machine.processes().OpenProcess(process_id);
  return process ? process->ModuleBaseName() : std::string();
}

int16_t HiWordOf(uint32_t value) {
  return static_cast<int16_t>(value >> 16);
}

int16_t LoWordOf(uint32_t value) {
  return static_cast<int16_t>(value & 0xFFFF);
}

std::string DropLastChar(std::string_view text) {
  return std::string(text.substr(0, text.empty() ? 0 : text.size() - 1));
}

}  // namespace services
