#pragma once
// Looking at and acting on the entries of a folder held open, and telling where a held folder
// really is and what lies above it. Callers that must not be led astray by a rename or a link
// judge an entry through these and then act on the very entry they judged.

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "machine/descriptor.h"

namespace machine {

// A host file's device and inode.
using FileIdentity = std::pair<dev_t, ino_t>;

inline FileIdentity IdentityOf(const struct stat& st) {
  return {st.st_dev, st.st_ino};
}

enum class LastLink { kAsLink, kFollowed };

// The state of the entry `name` (a relative path) of the held folder: the entry itself, or what
// a link there leads to. Nothing when it is not there.
std::optional<struct stat> EntryState(int folder_fd, const std::string& name, LastLink last);
// The state of what `fd` holds open.
std::optional<struct stat> HeldState(int fd);

// The identities of a host folder and of every folder above it, from the folder up, at most
// `most` of them; empty when it does not exist.
std::vector<FileIdentity> FolderIdentityChain(const std::string& host_folder, int most);

// Where the folder held open as `fd` is now; empty when that cannot be told.
std::string WhereHeldIsNow(int fd);

// The host path with every link on it resolved; nothing when it leads nowhere.
std::optional<std::string> RealHostPath(const std::string& host_path);

// Opens the entry `name` of the held folder for reading what it leads to (a link is followed),
// without blocking on a pipe; with `folder` it must be a folder.
Descriptor OpenEntryForReading(int folder_fd, const std::string& name, bool folder);

// The names in the held folder ("." and ".." left out); nothing when it cannot be listed whole.
std::optional<std::vector<std::string>> EntryNames(int folder_fd);

// Deletes the entry `name` of the held folder, a link as a link; with `folder` an empty folder.
bool RemoveEntry(int folder_fd, const std::string& name, bool folder);
// Deletes the entry `name` of the held folder with everything below it, never following a link.
bool RemoveEntryTree(int folder_fd, const std::string& name);
// Deletes the entry `name` of the held folder only while it is the very file `fd` holds open.
bool RemoveWhileHeld(int folder_fd, const std::string& name, int fd);

// Opens `name` in the held folder for appending, creating it when missing: never through a link
// and only a regular file. `made` tells whether it was created now.
Descriptor OpenForAppending(int folder_fd, const std::string& name, bool& made);
// Appends the whole of `text` to the file: its length before, or nothing, with the file cut back
// to that length, when the text cannot be written whole.
std::optional<off_t> AppendWholeOrNothing(int fd, std::string_view text);
// Cuts the file back to `length`.
bool CutBack(int fd, off_t length);

}  // namespace machine
