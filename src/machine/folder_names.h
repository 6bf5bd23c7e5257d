#pragma once
// The Windows names under which the host entries of one folder list.
//
// Host names are any bytes; Windows names are Windows-1252 and are reached by their exact
// spelling first, so each entry of a folder needs a spelling no sibling has, and one that does
// not pass to another entry when a sibling comes or goes:
// - a name that is UTF-8 of Windows-1252 characters and does not end in a dot or blank (one
//   the view itself would create) lists under its natural spelling;
// - any other name lists under its bytes from 0x80 up, "%" and its trailing dots and blanks
//   written as "%XX" (a Latin-1 "café.txt" as "caf%E9.txt"), which a dot or blank at the end
//   of a path cannot lose, and which no sibling's bytes give alike;
// - only when a sibling's natural spelling is that already, "~2", "~3"... go before its
//   extension ("caf%E9~2.txt").

#include <string>
#include <string_view>
#include <vector>

namespace machine {

// The spellings of `host_names`, one per name in the same order; the names must be distinct.
std::vector<std::string> FolderWindowsNames(const std::vector<std::string>& host_names);

// The spelling of one host name, when it is natural; otherwise its folder decides.
bool HasNaturalWindowsName(std::string_view host_name, std::string* windows_name = nullptr);

// The spelling of one entry of a host folder, reading the folder only when the name is not
// natural; "" when the entry is not in the folder.
std::string WindowsNameInFolder(const std::string& host_folder, const std::string& host_name);

}  // namespace machine
