#pragma once
// Taking a detected file or folder out of the way: the removal's routines by kind of item.
// Each one moves what it removes into the quarantine folder (see quarantine_store.h) with one
// log entry per item moved, the path guard judging the item where it is at that moment; a
// program is ended or a library unregistered only after the guard allowed its path. None of
// them raises.
//
// A hidden or system file counts as absent, as it does for the scan: only normal files and
// folders are quarantined.

#include <cstdint>
#include <string>
#include <string_view>

#include "removal/quarantine_store.h"
#include "removal/safe_path.h"
#include "services/system.h"

namespace model {
struct App;
}

namespace removal {

// What one removal pass works with: the path guard (its protected folders as they are when the
// pass begins) and the quarantine folder.
struct Quarantine {
  explicit Quarantine(model::App& app);

  const PathGuard guard;
  QuarantineStore store;
};

enum class QuarantineOutcome {
  kRefused,         // the path guard refused the path; nothing was touched
  kNotThere,        // nothing to quarantine at the path
  kNotMoved,        // it is there, but could not be moved (copy or deletion failed)
  kMoved,           // moved into the quarantine folder and logged
  kProgramRunning,  // its program could not be ended; the file was left alone
};

// Up to eight attempts to move a normal file, yielding after each failed one. kNotThere when
// no normal file of that name is at the path.
QuarantineOutcome QuarantineFileRetrying(model::App& app, Quarantine& quarantine,
                                         std::string_view path);

// An EXE: every program running from that very file is ended first; when one survives, the
// file is left alone. Then the file is moved as by QuarantineFileRetrying.
QuarantineOutcome RemoveFileWithProcess(model::App& app, Quarantine& quarantine,
                                        std::string_view path);

// A DLL or OCX: unregistered (recorded only), then moved.
QuarantineOutcome QuarantineAndDeleteFile(model::App& app, Quarantine& quarantine,
                                          std::string_view path, services::WindowHandle window);

// Any other path: a folder is moved as a whole tree, a normal file as a file (both retried up
// to eight times).
QuarantineOutcome QuarantineFolder(model::App& app, Quarantine& quarantine, std::string_view path);

// A tracking cookie's file.
QuarantineOutcome QuarantineCookieFile(model::App& app, Quarantine& quarantine,
                                       std::string_view path);

// The size of a file in bytes; 0 when it cannot be read or does not fit a signed 32-bit number.
int32_t GetFileSizeBytes(model::App& app, std::string_view path);

}  // namespace removal
