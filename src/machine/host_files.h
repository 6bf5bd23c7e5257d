#pragma once
// Whole-file operations on host paths that either complete or leave nothing changed.

#include <optional>
#include <string>
#include <string_view>

namespace machine {

// Replaces (or creates) the file through a temporary file in the same folder and a rename.
// A replaced file's DOS attributes carry over.
bool WriteWholeFile(const std::string& host_path, std::string_view content);

// Adds to the end of the file (creating it); a failed append is cut back off.
bool AppendToFile(const std::string& host_path, std::string_view content);

// Copies a file or a whole folder to a path that must not exist. The copy is built under a
// temporary name beside the target and renamed into place, so a failure leaves no target.
// Symbolic links are copied as links; entries that are neither files nor folders are skipped.
bool CopyAtomically(const std::string& from_host_path, const std::string& to_host_path);

// Renames without replacing an existing target.
bool RenameNoReplace(const std::string& from_host_path, const std::string& to_host_path);

// A name for a temporary entry in `folder` that no other entry has (it begins with "." so the
// view shows it as hidden should it ever be left behind).
std::string TemporarySibling(const std::string& folder);

}  // namespace machine
