#pragma once
// Reading only what was appended to a file since it was last read, for files that as a rule
// only grow. Any other change is noticed cheaply and reads the file whole.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace machine {

// What a reader keeps of the file it read: which file, how much of it, and its last bytes.
struct ReadMark {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  std::string tail;  // the last kTailBytes bytes read, or all of them when fewer
  static constexpr size_t kTailBytes = 4096;
};

struct GrowthRead {
  std::string bytes;
  // The bytes follow those the given mark was taken of; otherwise they are the whole file.
  bool appended = false;
  ReadMark mark;  // of what has now been read
};

// The bytes of the regular file open as `fd` that follow those read at `since`, when the file is
// the same one (device and inode), no shorter, and still holds the mark's tail where it ended;
// the whole file otherwise. A file rewritten in place that keeps its identity, does not shrink
// and keeps those bytes passes for grown: the price of not reading it whole. Nothing when it is
// not a regular file, holds more than `cap` bytes or cannot be read.
std::optional<GrowthRead> ReadSinceMark(int fd, const std::optional<ReadMark>& since, uint64_t cap);

// Appends `line` and CR LF to the file open for appending (and reading) as `fd`, as a line of its
// own: a CR LF goes first when the file's last byte ends no line. False when the file cannot be
// read or written; a write cut short is cut back off.
bool AppendLineAt(int fd, std::string_view line);

}  // namespace machine
