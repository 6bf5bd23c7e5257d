#pragma once
// REGEDIT4 text import, used to lay out registry fixtures:
//
//   REGEDIT4
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Vendor]      creates the key (and the keys above it)
//   [-HKEY_LOCAL_MACHINE\SOFTWARE\Old]        deletes the key with everything below it
//   "Name"="text with \\ and \""              REG_SZ (stored with its terminating NUL)
//   @="default value"                         the key's default value
//   "Count"=dword:0000000a                    REG_DWORD
//   "Blob"=hex:01,02,\                        REG_BINARY; a line ending in "\" continues
//     03                                      on the next one
//   "Path"=hex(2):25,00                       the type in brackets (here REG_EXPAND_SZ)
//   "Gone"=-                                  deletes the value
//
// Lines starting with ";" are comments.

#include <string>
#include <string_view>

#include "machine/registry.h"

namespace machine {

// The whole text is read before anything changes: a syntax error changes nothing and `error`
// names its line. False, with the line in `error`, also when the registry refuses a change
// (the changes before it stay).
bool ImportRegedit4(Registry& registry, std::string_view text, std::string& error);

}  // namespace machine
