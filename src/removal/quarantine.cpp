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
MoveStatus MoveAndLog(model::App& app, std::string_view path, Kind kind) {
  const MoveResult result = kind == Kind::kFolder ? MoveFolderToQuarantine(app.system, path)
                                                  : MoveFileToQuarantine(app.system, path);
  if (!result.stored_name.empty())
    LogQuarantinedFile(app, path, result.stored_name);
  return result.status;
}

bool IsThere(model::App& app, std::string_view path, Kind kind) {
  return kind == Kind::kFolder ? services::FolderExists(app.system, path)
                               : services::FileExists(app.system, path);
}

// Moves until it worked, the item is gone or the attempts are used up.
QuarantineOutcome MoveRetrying(model::App& app, std::string_view path, Kind kind) {
  if (!IsThere(app, path, kind))
    return QuarantineOutcome::kNotThere;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const MoveStatus status = MoveAndLog(app, path, kind);
    if (status == MoveStatus::kMoved)
      return QuarantineOutcome::kMoved;
    app.system.Yield();
    if (!IsThere(app, path, kind))
      return QuarantineOutcome::kNotThere;
  }
  return QuarantineOutcome::kNotMoved;
}

}  // namespace

std::string ItemName(std::string_view path) {
  if (!path.empty() && path.back() == '\\')
    return path.size() >= 2 ? std::string(1, path[path.size() - 2]) : std::string();
  return services::GetFileNamePart(path);
}

QuarantineOutcome QuarantineFileRetrying(model::App& app, const PathGuard& guard,
                                         std::string_view path) {
  if (!guard.Allows(path))
    return QuarantineOutcome::kRefused;
  return MoveRetrying(app, path, Kind::kFile);
}

QuarantineOutcome RemoveFileWithProcess(model::App& app, const PathGuard& guard,
                                        std::string_view path) {
  if (!guard.Allows(path))
    return QuarantineOutcome::kRefused;
  if (!services::FileExists(app.system, path))
    return QuarantineOutcome::kNotThere;
  if (!KillProcessByExePath(app, guard, path))
    return QuarantineOutcome::kProgramRunning;
  return MoveRetrying(app, path, Kind::kFile);
}

QuarantineOutcome QuarantineAndDeleteFile(model::App& app, const PathGuard& guard,
                                          std::string_view path, services::WindowHandle window) {
  if (!guard.Allows(path))
    return QuarantineOutcome::kRefused;
  if (!services::FileExists(app.system, path))
    return QuarantineOutcome::kNotThere;
  services::RegisterServer(app.system.register_server_log, window, path, false);
  return MoveAndLog(app, path, Kind::kFile) == MoveStatus::kMoved ? QuarantineOutcome::kMoved
                                                                  : QuarantineOutcome::kNotMoved;
}

QuarantineOutcome QuarantineFolder(model::App& app, const PathGuard& guard, std::string_view path) {
  if (!guard.Allows(path))
    return QuarantineOutcome::kRefused;
  if (services::FileExists(app.system, path))
    return MoveRetrying(app, path, Kind::kFile);
  return MoveRetrying(app, path, Kind::kFolder);
}

QuarantineOutcome QuarantineCookieFile(model::App& app, const PathGuard& guard,
                                       std::string_view path) {
  if (!guard.Allows(path))
    return QuarantineOutcome::kRefused;
  if (!services::FileExists(app.system, path))
    return QuarantineOutcome::kNotThere;
  return MoveAndLog(app, path, Kind::kFile) == MoveStatus::kMoved ? QuarantineOutcome::kMoved
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
