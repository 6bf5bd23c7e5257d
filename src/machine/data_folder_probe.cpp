#include "machine/data_folder_probe.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <system_error>

namespace machine {

bool FolderTakesNewFiles(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  std::string probe = (folder / ".~hgprobeXXXXXX").string();
  const int fd = mkostemp(probe.data(), O_CLOEXEC);
  if (fd < 0)
    return false;
  close(fd);
  unlink(probe.c_str());
  return true;
}

}  // namespace machine
