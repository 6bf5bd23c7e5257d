#pragma once
// What tells one state of a file from another without reading it.

#include <cstdint>

struct stat;

namespace machine {

// Which file it is, its size and when it last changed. Every write, truncation or rename onto
// the name moves the change time, which no program can set: equal stamps mean the content has
// not been replaced or rewritten, short of a second change within the same tick of the file
// system's clock. (From Linux 6.13 on, a change that follows a look at the stamp gets a later
// time even within the tick, on ext4, XFS, Btrfs and tmpfs.)
struct FileStamp {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modified_ns = 0;
  int64_t changed_ns = 0;
  // Changed within the last two seconds: a write in the same clock tick could still follow
  // unseen, so such a stamp proves nothing yet.
  bool recent = false;

  bool operator==(const FileStamp&) const = default;
  // The same file in the same state, however long ago it changed.
  bool SameState(const FileStamp& other) const;
};

// The stamp of the file `st` describes, as of now.
FileStamp StampOf(const struct stat& st);

}  // namespace machine
