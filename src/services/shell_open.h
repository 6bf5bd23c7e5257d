#pragma once
// The shell's "open": a file or folder of the machine shown by the desktop's default program
// for it (a folder in the file manager, a text file in the text editor, the help file in its
// viewer).

#include <string_view>

#include "services/system.h"

namespace services {

// Opens what the Windows path names, through its host path. False, with nothing started, when
// the path names nothing on the machine or the desktop's opener cannot be started; the callers
// report neither.
bool ShellOpen(const System& system, std::string_view windows_path);

}  // namespace services
