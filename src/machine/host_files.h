#pragma once
// Whole-file operations on host paths that either complete or leave nothing changed.

#include <optional>
#include <string>
#include <string_view>

namespace machine {

// Replaces (or creates) the file through a temporary file in the same folder and a rename; the
// data and the folder are flushed to the disk around the rename. A replaced file's DOS
// attributes carry over. A symbolic link, a folder or anything else that is not a regular
// file at that name is never written through or replaced: false, with errno ELOOP for a link.
bool WriteWholeFile(const std::string& host_path, std::string_view content);
// The same for the entry `name` of an open folder.
bool WriteWholeFileAt(int folder_fd, const std::string& name, std::string_view content);

// Adds to the end of the file (creating it); a failed append is cut back off. A symbolic link
// at that name, even one leading nowhere, is refused (false, errno ELOOP).
bool AppendToFile(const std::string& host_path, std::string_view content);
// The same for the entry `name` of an open folder.
bool AppendToFileAt(int folder_fd, const std::string& name, std::string_view content);

// Copies a file or a whole folder to a path that must not exist. The copy is built under a
// temporary name beside the target and renamed into place, so a failure leaves no target.
// Symbolic links are copied as links; entries that are neither files nor folders are skipped.
bool CopyAtomically(const std::string& from_host_path, const std::string& to_host_path);

// Renames without replacing an existing target.
bool RenameNoReplace(const std::string& from_host_path, const std::string& to_host_path);

// How a file or folder is flushed to the disk (fsync by default). Tests put a recorder here to
// see what is flushed when. Returns the one it replaces.
using FlushFunction = int (*)(int fd);
FlushFunction SetFlushFunction(FlushFunction flush);

// A name for a temporary entry in `folder` that no other entry has (it begins with "." so the
// view shows it as hidden should it ever be left behind).
std::string TemporarySibling(const std::string& folder);

}  // namespace machine
