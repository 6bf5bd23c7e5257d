#include "machine/desktop_opener.h"

#include "machine/program_start.h"

namespace machine {

namespace {

// xdg-open finds out within this time whether the desktop has a program for the path; one that
// is still running then has handed the path on (or shows it itself).
constexpr std::chrono::milliseconds kOpenerVerdictWithin{2000};

}  // namespace

bool HostOpener::Open(const std::filesystem::path& host_path) {
  // Only an absolute path: one beginning with "-" could pass for an option of the opener.
  if (!host_path.is_absolute())
    return false;
  return StartDetached({command_, host_path.string()}, kOpenerVerdictWithin);
}

}  // namespace machine
