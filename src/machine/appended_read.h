#pragma once
// Reading only what our own appends added to a file since it was last read. Any change made by
// anyone else reads the file whole.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "machine/file_stamp.h"

namespace machine {

// What a reader keeps of the file it read: the file as it stood, or as our own appends since
// have left it, and how many of its bytes were read.
struct ReadMark {
  FileStamp file;
  uint64_t read = 0;
};

struct GrowthRead {
  std::string bytes;
  // The bytes follow those the given mark was taken of; otherwise they are the whole file.
  bool appended = false;
  ReadMark mark;  // of what has now been read
};

// The bytes of the regular file open as `fd` that follow those read at `since`, when the file's
// stamp is still the mark's: nothing but our own appends changed it since. The whole file
// otherwise. A recent stamp counts too: it was looked at right after our own read or write, so
// only a change within that same clock tick could pass for none, where reading a long file
// whole at every append would cost thousands of times more. Nothing when it is not a regular file,
// holds more than `cap` bytes or cannot be read.
std::optional<GrowthRead> ReadSinceMark(int fd, const std::optional<ReadMark>& since, uint64_t cap);

// Appends `line` and CR LF to the file open for appending (and reading) as `fd`, as a line of its
// own: a CR LF goes first when the file's last byte ends no line. When the file is still as
// `mark` stamps it, the mark takes the stamp the append leaves, so that the next read takes only
// the new bytes; otherwise the mark is dropped and the next read reads the file whole. False when
// the file cannot be read or written; a write cut short is cut back off.
bool AppendLineAt(int fd, std::string_view line, std::optional<ReadMark>& mark);

}  // namespace machine
