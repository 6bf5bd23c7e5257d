#pragma once
// Copies made from what is held open and read back against it, and removals that delete only
// what is still as it was when it was compared with its copy. Whatever changed meanwhile stays
// where it is.

#include <sys/stat.h>

#include <string>
#include <string_view>
#include <unordered_map>

namespace machine {

// Copies the regular file freshly opened as `in` to a new file `name` in the folder held
// as `folder_fd`, reads the copy back against the source and checks that the source kept its
// size. False, with no copy left behind, when anything failed or differed.
bool CopyFileChecked(int in, int folder_fd, const std::string& name);

// The state of each entry below a folder when it was compared with its copy, by its path
// relative to the folder ("sub/name").
using TreeStamps = std::unordered_map<std::string, struct stat>;

// True when the tree at `copy` holds everything the one at `source` holds: the same entries with
// the same kinds, files of the same content, links to the same targets. Entries that are not
// part of a Windows tree (sockets, pipes, devices) are not copied, not compared and not
// recorded. Records the state of every other source entry below the top in `stamps`.
bool SameTree(const std::string& source, const std::string& copy, TreeStamps& stamps);

struct TreeRemoval {
  int removed = 0;  // entries deleted
  int left = 0;     // entries that could not be deleted, or changed since they were recorded
};

// Deletes what the folder held as `folder_fd` contains, each entry only while it is unchanged
// since `stamps` recorded it; a changed or new entry stays, and so do the folders above it.
TreeRemoval RemoveUnchangedContent(int folder_fd, const TreeStamps& stamps);

}  // namespace machine
