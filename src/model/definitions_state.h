#pragma once
// The definition counts per kind, their total, the ignore list in memory and Live Update's
// support address.

#include <cstdint>
#include <optional>
#include <string>

#include "machine/appended_read.h"
#include "model/ignore_index.h"

namespace model {

// The counts are 64 bits wide: lines of files of any size cannot make them overflow.
struct DefinitionsState {
  int64_t lngCookieDefinitionCount = 0;
  int64_t lngExeDefinitionCount = 0;
  int64_t lngRegistryDefinitionCount = 0;
  // File lines plus folder lines.
  int64_t lngFileDefinitionCount = 0;
  int64_t lngTotalDefinitions = 0;
  // Every entry of ENoSignature.txt followed by "|"; the index answers for it and is replaced
  // with it.
  std::string strIgnoreList;
  IgnoreIndex ignore_index;
  // What the list in place was read from, so that a file that only grew is read from there on.
  std::optional<machine::ReadMark> ignore_file_mark;
  // Lists put in place so far: a load that sees this change while it yields has been overtaken.
  uint64_t ignore_list_loads = 0;
  // Base address of the definition downloads, built from the web-site text.
  std::string strUpdateBaseUrl;
};

}  // namespace model
