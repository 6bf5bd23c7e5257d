#include "machine/appended_read.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

bool SameFileGrown(const struct stat& st, const ReadMark& since, int fd) {
  if (since.tail.size() > since.size || static_cast<uint64_t>(st.st_dev) != since.device ||
      static_cast<uint64_t>(st.st_ino) != since.inode ||
      static_cast<uint64_t>(st.st_size) < since.size)
    return false;
  const std::optional<std::string> tail =
      ReadAt(fd, since.size - since.tail.size(), since.tail.size());
  return tail && *tail == since.tail;
}

std::string TailOf(std::string_view bytes) {
  return std::string(bytes.substr(bytes.size() - std::min(bytes.size(), ReadMark::kTailBytes)));
}

}  // namespace

std::optional<GrowthRead> ReadSinceMark(int fd, const std::optional<ReadMark>& since,
                                        uint64_t cap) {
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    return std::nullopt;
  GrowthRead read;
  read.mark.device = static_cast<uint64_t>(st.st_dev);
  read.mark.inode = static_cast<uint64_t>(st.st_ino);
  if (since && SameFileGrown(st, *since, fd)) {
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    if (size > cap)
      return std::nullopt;
    // What was appended by the time of the fstat; a later append is for the next read.
    std::optional<std::string> more = ReadAt(fd, since->size, size - since->size);
    if (more && more->size() == size - since->size) {
      read.appended = true;
      read.bytes = std::move(*more);
      read.mark.size = size;
      read.mark.tail = TailOf(since->tail + read.bytes);
      return read;
    }
    // Cut short under the read: read it whole.
  }
  std::optional<std::string_view> whole = ReadOpenFile(fd, cap, read.bytes);
  if (!whole)
    return std::nullopt;
  read.bytes.resize(whole->size());
  read.mark.size = read.bytes.size();
  read.mark.tail = TailOf(read.bytes);
  return read;
}

bool AppendLineAt(int fd, std::string_view line) {
  struct stat st {};
  if (fstat(fd, &st) != 0)
    return false;
  const uint64_t size = static_cast<uint64_t>(st.st_size);
  std::string bytes;
  if (size > 0) {
    // An entry glued onto a last line without its end would spoil both.
    const std::optional<std::string> last = ReadAt(fd, size - 1, 1);
    if (!last)
      return false;
    if (*last != "\n")
      bytes = "\r\n";
  }
  bytes += line;
  bytes += "\r\n";
  return AppendWhole(fd, size, bytes);
}

}  // namespace machine
