#pragma once
// Pieces of Windows paths, the system folder, and whether a file or folder is there.

#include <string>
#include <string_view>

#include "services/system.h"

namespace services {

// The extension after the last "." of the last path component, lower case and trimmed of
// blanks ("C:\A\SETUP.EXE " gives "exe"); "" when the last component has no dot.
std::string GetFileExtension(std::string_view path);

// The text after the last "\" ("" for a path ending in "\").
std::string GetFileNamePart(std::string_view path);

// The file name in a fixed-length buffer: the text up to its first NUL, then the part after
// its last "\".
std::string GetFileNameFromBuffer(std::string_view buffer);

// The machine's system folder, without a trailing backslash.
std::string GetSystemDirectoryPath(const System& system);

// True when the path names an existing folder (hidden or not).
bool FolderExists(const System& system, std::string_view path);

// True when the path names a normal file: hidden files, system files and folders do not count,
// nor does a path ending in "\". Any error gives False.
bool FileExists(const System& system, std::string_view path);

}  // namespace services
