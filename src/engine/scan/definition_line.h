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

// One line of the file or folder stage made ready for its test. A stage run refills one for
// every line, so that its texts keep their buffers.
struct LineTarget {
  bool counted = false;   // adds to the inspected count and shows progress
  bool testable = false;  // its path is looked for
  std::string shown_name;
  std::string path;
};

// A file line: counted always; its path is the folder (expanded; `folder_ok` false when a token
// has no folder here), "\" and the name trimmed of blanks, double backslashes made single. It is
// looked for when the folder could be placed, the path is "X:\..." and the line held "=".
void PrepareFileLine(const DefinitionLine& line, bool folder_ok, const std::string& folder,
                     LineTarget& target);
// A folder line: counted, and looked for when it held "=", only when its folder could be placed
// and is "X:\..."; the name shown loses its line breaks and tabs.
void PrepareFolderLine(const DefinitionLine& line, bool folder_ok, const std::string& folder,
                       LineTarget& target);

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
