#pragma once
// Folder tokens: bracketed folder names inside definition lines ("[windir]", "[appdata]", ...)
// replaced by this machine's folders, and the special-folder lookups behind them.

#include <string>
#include <string_view>

#include "services/system.h"

namespace services {

// The folder of a special folder (by CSIDL number) with one backslash appended; "" when this
// machine has no such folder.
std::string GetSpecialFolderPath(const System& system, int csidl);
// The same folder, with a backslash appended only when it does not already end with one.
std::string GetSpecialFolderByPidl(const System& system, int csidl);
// The first three characters of the user's Programs folder ("C:\"); "" when it has no path.
std::string GetSystemDriveRoot(const System& system);

// Replaces every folder token in `path` (in place) and returns the result. A token whose folder
// does not exist here is removed. "[drive]" is not a folder token and stays.
std::string ExpandFolderTokens(const System& system, std::string& path);

// As ExpandFolderTokens, but refuses a line that names a folder this machine does not have:
// false (and `missing_token` set to the token) when any token in it has no folder.
bool TryExpandFolderTokens(const System& system, std::string_view path, std::string& expanded,
                           std::string* missing_token = nullptr);

}  // namespace services
