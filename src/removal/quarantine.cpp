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

// One move, with its log entry, judged by the guard as it happens.
MoveStatus MoveAndLog(model::App& app, Quarantine& quarantine, std::string_view path, Kind kind) {
  QuarantineStore& store = quarantine.store;
  const LogEntryText entry = FileEntryFor(app, path);
  return (kind == Kind::kFolder ? store.MoveFolder(path, quarantine.guard, entry)
                                : store.MoveFile(path, quarantine.guard, entry))
      .status;
}

// Where only a move follows, the name is judged first and the store judges where the item
// really is as it moves it; ending a program or unregistering a library has the whole verdict
// before it.
bool NameRefused(const Quarantine& quarantine, std::string_view path) {
  return quarantine.guard.CheckName(path) != PathRefusal::kNone;
}

QuarantineOutcome OutcomeOf(MoveStatus status) {
  switch (status) {
    case MoveStatus::kMoved:
      return QuarantineOutcome::kMoved;
    case MoveStatus::kNotThere:
      return QuarantineOutcome::kNotThere;
    case MoveStatus::kRefused:
      return QuarantineOutcome::kRefused;
    default:
      return QuarantineOutcome::kNotMoved;
  }
}

// Moves until it worked, the item is gone or refused, or the attempts are used up.
QuarantineOutcome MoveRetrying(model::App& app, Quarantine& quarantine, std::string_view path,
                               Kind kind) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const MoveStatus status = MoveAndLog(app, quarantine, path, kind);
    if (status == MoveStatus::kMoved || status == MoveStatus::kRefused)
      return OutcomeOf(status);
    if (status == MoveStatus::kNotThere)
      return attempt == 0 ? QuarantineOutcome::kNotThere : QuarantineOutcome::kNotMoved;
    app.system.Yield();
  }
  return QuarantineOutcome::kNotMoved;
}

}  // namespace

Quarantine::Quarantine(model::App& app) : guard(app.system), store(app.system) {}

QuarantineOutcome QuarantineFileRetrying(model::App& app, Quarantine& quarantine,
                                         std::string_view path) {
  if (NameRefused(quarantine, path))
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
  return OutcomeOf(MoveAndLog(app, quarantine, path, Kind::kFile));
}

QuarantineOutcome QuarantineFolder(model::App& app, Quarantine& quarantine, std::string_view path) {
  if (NameRefused(quarantine, path))
    return QuarantineOutcome::kRefused;
  if (services::FileExists(app.system, path))
    return MoveRetrying(app, quarantine, path, Kind::kFile);
  if (services::FolderExists(app.system, path))
    return MoveRetrying(app, quarantine, path, Kind::kFolder);
  return QuarantineOutcome::kNotThere;
}

QuarantineOutcome QuarantineCookieFile(model::App& app, Quarantine& quarantine,
                                       std::string_view path) {
  if (NameRefused(quarantine, path))
    return QuarantineOutcome::kRefused;
  if (!services::FileExists(app.system, path))
    return QuarantineOutcome::kNotThere;
  return OutcomeOf(MoveAndLog(app, quarantine, path, Kind::kFile));
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
