#include "removal/quarantine.h"

#include <limits>
#include <optional>

#include "machine/machine.h"
#include "model/app.h"
#include "removal/kill_process.h"
#include "removal/quarantine_log.h"
#include "removal/quarantine_store.h"
#include "removal/safe_path.h"
#include "services/file_paths.h"
#include "services/register_server.h"

namespace removal {

namespace {

constexpr int kAttempts = 8;

enum class Kind { kFile, kFolder };

// One move; the log entry goes with every move that leaves something in the quarantine.
MoveStatus MoveAndLog(model::App& app, Quarantine& quarantine, std::string_view path, Kind kind) {
  QuarantineStore& store = quarantine.store;
  const MoveResult result = kind == Kind::kFolder ? store.MoveFolder(path) : store.MoveFile(path);
  if (!result.stored_name.empty())
    LogQuarantinedFile(app, store, path, result.stored_name);
  return result.status;
}

// Moves until it worked, the item is gone or the attempts are used up.
QuarantineOutcome MoveRetrying(model::App& app, Quarantine& quarantine, std::string_view path,
                               Kind kind) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const MoveStatus status = MoveAndLog(app, quarantine, path, kind);
    if (status == MoveStatus::kMoved)
      return QuarantineOutcome::kMoved;
    if (status == MoveStatus::kNotThere)
      return attempt == 0 ? QuarantineOutcome::kNotThere : QuarantineOutcome::kNotMoved;
    app.system.Yield();
  }
  return QuarantineOutcome::kNotMoved;
}

}  // namespace

Quarantine::Quarantine(model::App& app) : guard(app.system), store(app.system) {}

std::string ItemName(std::string_view path) {
  if (!path.empty() && path.back() == '\\')
    return path.size() >= 2 ? std::string(1, path[path.size() - 2]) : std::string();
  return services::GetFileNamePart(path);
}

QuarantineOutcome QuarantineFileRetrying(model::App& app, Quarantine& quarantine,
                                         std::string_view path) {
  if (!quarantine.guard.Allows(path))
    return QuarantineOutcome::kRefused;
  if (!services::FileExists(app.system, path))
    return QuarantineOutcome::kNotThere;
  return MoveRetrying(app, quarantine, path, Kind::kFile);
}

QuarantineOutcome RemoveFileWithProcess(model::App& app, Quarantine& quarantine,
                                        std::string_view path) {
  if (!quarantine.guard.Allows(path))
    return QuarantineOutcome::kRefused;
  if (!services::FileExists(app.system, path))
    return QuarantineOutcome::kNotThere;
  if (!KillProcessByExePath(app, quarantine.guard, path))
    return QuarantineOutcome::kProgramRunning;
  return MoveRetrying(app, quarantine, path, Kind::kFile);
}

QuarantineOutcome QuarantineAndDeleteFile(model::App& app, Quarantine& quarantine,
                                          std::string_view path, services::WindowHandle window) {
  if (!quarantine.guard.Allows(path))
    return QuarantineOutcome::kRefused;
  if (!services::FileExists(app.system, path))
    return QuarantineOutcome::kNotThere;
  services::RegisterServer(app.system.register_server_log, window, path, false);
  return MoveAndLog(app, quarantine, path, Kind::kFile) == MoveStatus::kMoved
             ? QuarantineOutcome::kMoved
             : QuarantineOutcome::kNotMoved;
}

QuarantineOutcome QuarantineFolder(model::App& app, Quarantine& quarantine, std::string_view path) {
  if (!quarantine.guard.Allows(path))
    return QuarantineOutcome::kRefused;
  if (services::FileExists(app.system, path))
    return MoveRetrying(app, quarantine, path, Kind::kFile);
  if (services::FolderExists(app.system, path))
    return MoveRetrying(app, quarantine, path, Kind::kFolder);
  return QuarantineOutcome::kNotThere;
}

QuarantineOutcome QuarantineCookieFile(model::App& app, Quarantine& quarantine,
                                       std::string_view path) {
  if (!quarantine.guard.Allows(path))
    return QuarantineOutcome::kRefused;
  if (!services::FileExists(app.system, path))
    return QuarantineOutcome::kNotThere;
  return MoveAndLog(app, quarantine, path, Kind::kFile) == MoveStatus::kMoved
             ? QuarantineOutcome::kMoved
             : QuarantineOutcome::kNotMoved;
}

int32_t GetFileSizeBytes(model::App& app, std::string_view path) {
  const std::optional<machine::FileAttributes> attributes = app.machine.files().Attributes(path);
  if (!attributes || attributes->is_folder ||
      attributes->size > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
    return 0;
  }
  return static_cast<int32_t>(attributes->size);
}

}  // namespace removal
