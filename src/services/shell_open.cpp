#include "services/shell_open.h"

#include "machine/machine.h"

namespace services {

bool ShellOpen(const System& system, std::string_view windows_path) {
  const std::optional<std::filesystem::path> host_path =
      system.machine.files().Resolve(windows_path);
  return host_path && system.machine.opener().Open(*host_path);
}

}  // namespace services
