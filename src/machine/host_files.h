#pragma once
// Whole-file operations on host paths that either complete or leave nothing changed.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace machine {

// Writes all of `data` at the descriptor's position; false on any error.
bool WriteWhole(int fd, std::string_view data);

// Replaces (or creates) the file through a temporary file in the same folder and a rename; the
// data and the folder are flushed to the disk around the rename. A replaced file's DOS
// attributes carry over. A symbolic link, a folder or anything else that is not a regular
// file at that name is never written through or replaced: false, with errno ELOOP for a link.
bool WriteWholeFile(const std::string& host_path, std::string_view content);
// The same for the entry `name` of an open folder.
bool WriteWholeFileAt(int folder_fd, const std::string& name, std::string_view content);

// New contents for several files of one folder, put in place as one step: each is written whole
// to a temporary file of the folder and flushed; only Commit renames them over their names, in
// turn, and then flushes the folder. Until then no file changes, and whatever temporary was not
// committed is removed. Every replacement of a file goes this way. A replaced file's mode and DOS
// attributes carry over; a link, a folder or anything else that is not a regular file at a name is
// never replaced.
class FileSetReplacement {
 public:
  // Holds a duplicate of `folder_fd`.
  explicit FileSetReplacement(int folder_fd);
  ~FileSetReplacement();
  FileSetReplacement(const FileSetReplacement&) = delete;
  FileSetReplacement& operator=(const FileSetReplacement&) = delete;

  // Begins the new content of the entry `name`, ending the one begun before; false (errno ELOOP
  // for a link) when the entry cannot be replaced or no temporary file can be made.
  bool Start(const std::string& name);
  // Adds to the content begun last.
  bool Write(std::string_view bytes);
  // Takes the regular file `from_name` of the folder, as it is, for the new content of `name`;
  // it is left where it is when the replacement fails.
  bool Adopt(const std::string& from_name, const std::string& name);
  // Puts every file in place; false when one could not be written or renamed (those renamed
  // before it stay in place).
  bool Commit();

 private:
  struct Pending {
    std::string name;
    std::string temporary;
    bool made_here;  // removed when not committed
  };
  bool FinishCurrent();

  int folder_fd_;
  int fd_ = -1;
  off_t written_ = 0;
  bool ok_ = true;
  std::vector<Pending> pending_;
};

// Puts the regular file `from_name` in place of `to_name` (a regular file or nothing) in the same
// folder, as a FileSetReplacement of one file. A link at either name is refused (errno ELOOP).
bool ReplaceWithFileAt(int folder_fd, const std::string& from_name, const std::string& to_name);

// Adds to the end of the file (creating it); a failed append is cut back off. A symbolic link
// at that name, even one leading nowhere, is refused (false, errno ELOOP).
bool AppendToFile(const std::string& host_path, std::string_view content);
// The same for the entry `name` of an open folder.
bool AppendToFileAt(int folder_fd, const std::string& name, std::string_view content);
// The entry `name` of an open folder opened for appending (created when absent) and for reading
// at an offset; -1 when it cannot be, or is not a regular file. A link there is refused, as above.
int OpenForAppendAt(int folder_fd, const std::string& name);
// Writes all of `content` at the end of a file open for appending, whose size was `size_before`;
// a write cut short is cut back off.
bool AppendWhole(int fd, uint64_t size_before, std::string_view content);

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
// Whether a name is one that TemporarySibling gives.
bool IsTemporaryName(std::string_view name);
// Removes the files and links of the folder whose names are temporary ones, left behind by a
// program that was stopped while it replaced or copied them; links are removed, never followed.
void RemoveTemporaryFilesAt(int folder_fd);

}  // namespace machine
