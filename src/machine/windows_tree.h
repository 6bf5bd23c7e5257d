#pragma once
// What of a host folder tree a Windows tree can hold: files, folders and links. Sockets, pipes
// and devices have no place in one; copies of a tree leave them out and comparisons of a copy
// with its source do not look for them, so they stay behind wherever the tree goes.

#include <sys/stat.h>

namespace machine {

inline bool PartOfWindowsTree(mode_t mode) {
  return S_ISREG(mode) || S_ISDIR(mode) || S_ISLNK(mode);
}

}  // namespace machine
