#pragma once
// One decoded line of the file and folder definition files:
//   name "=" threat name [ "|" folder [ "|" extra text ] ]
// The running-program definitions share this outer form.

#include <string>
#include <string_view>

namespace services {
struct System;
}

namespace engine {

struct DefinitionLine {
  std::string name;              // file name (file lines) or display name (folder lines)
  std::string threat_name;       // may be empty even when the line holds "="
  std::string folder;            // folder text as written, tokens not expanded; empty when none
  std::string extra_text;        // shown as the threat row's type; empty when none
  bool has_folder = false;       // the line held "|"
  bool has_threat_name = false;  // its first field held "="
};

// Splits at "|" first (fields past the third are ignored), then the first field at "=" (parts
// past the second are ignored). A line without "=" has its whole first field as the name and no
// threat name: it never inherits the threat of the line before it.
DefinitionLine ParseDefinitionLine(std::string_view decoded_line);

// Every "\\" made "\" in one left-to-right pass.
std::string CollapseDoubleBackslashes(std::string_view path);

// "X:\..." (or "X:/..."): the only form the stages test; a bare or rooted name would otherwise
// be resolved against whatever folder the process happens to be in.
bool IsAbsoluteWindowsPath(std::string_view path);

// The folder of a file or folder line made real: "[drive]" (lower case only) becomes
// `drive_root`, the folder tokens their folders, then double backslashes are collapsed.
// False when a token names a folder this machine does not have; `expanded` is then unusable.
bool ExpandDefinitionFolder(const services::System& system, std::string_view folder,
                            std::string_view drive_root, std::string& expanded);

}  // namespace engine
