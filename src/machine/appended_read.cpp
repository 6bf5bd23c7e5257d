#include "machine/appended_read.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "machine/host_files.h"
#include "machine/whole_file_read.h"

namespace machine {

namespace {

// Up to `size` bytes from `offset` on, fewer only at the end of the file; nothing on an error.
std::optional<std::string> ReadAt(int fd, uint64_t offset, uint64_t size) {
  std::string bytes(static_cast<size_t>(size), '\0');
  size_t total = 0;
  while (total < bytes.size()) {
    const ssize_t got =
        pread(fd, bytes.data() + total, bytes.size() - total, static_cast<off_t>(offset + total));
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return std::nullopt;
    if (got == 0)
      break;
    total += static_cast<size_t>(got);
  }
  bytes.resize(total);
  return bytes;
}

}  // namespace

std::optional<GrowthRead> ReadSinceMark(int fd, const std::optional<ReadMark>& since,
                                        uint64_t cap) {
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    return std::nullopt;
  GrowthRead read;
  read.mark.file = StampOf(st);
  const uint64_t size = read.mark.file.size;
  if (since && since->file.SameState(read.mark.file) && since->read <= size) {
    if (size > cap)
      return std::nullopt;
    std::optional<std::string> more = ReadAt(fd, since->read, size - since->read);
    if (more && more->size() == size - since->read) {
      read.appended = true;
      read.bytes = std::move(*more);
      read.mark.read = size;
      return read;
    }
    // Cut short under the read: read it whole.
  }
  // A change made while the file is read leaves it with another stamp than the one taken here,
  // so the next read reads it whole again.
  std::optional<std::string_view> whole = ReadOpenFile(fd, cap, read.bytes);
  if (!whole)
    return std::nullopt;
  read.bytes.resize(whole->size());
  read.mark.read = read.bytes.size();
  return read;
}

bool AppendLineAt(int fd, std::string_view line, std::optional<ReadMark>& mark) {
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    mark.reset();
    return false;
  }
  const FileStamp before = StampOf(st);
  std::string bytes;
  if (before.size > 0) {
    // An entry glued onto a last line without its end would spoil both.
    const std::optional<std::string> last = ReadAt(fd, before.size - 1, 1);
    if (!last) {
      mark.reset();
      return false;
    }
    if (*last != "\n")
      bytes = "\r\n";
  }
  bytes += line;
  bytes += "\r\n";
  const bool appended = AppendWhole(fd, before.size, bytes);
  // Only our own bytes on top of what the mark was taken of may be read as appended.
  if (appended && mark && mark->file.SameState(before) && fstat(fd, &st) == 0 &&
      StampOf(st).size == before.size + bytes.size())
    mark->file = StampOf(st);
  else
    mark.reset();
  return appended;
}

}  // namespace machine
