#include "machine/desktop_opener.h"

#include "machine/program_start.h"

namespace machine {

bool HostOpener::Open(const std::filesystem::path& host_path) {
  // Only an absolute path: one beginning with "-" could pass for an option of the opener.
  if (!host_path.is_absolute())
    return false;
  return StartDetached({command_, host_path.string()});
}

}  // namespace machine
