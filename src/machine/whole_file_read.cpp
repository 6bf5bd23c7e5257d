#include "machine/whole_file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <stdexcept>

namespace machine {

namespace {

// The first part set aside, and the least the buffer grows by.
constexpr size_t kFirstPart = 64 * 1024;

// Room for more bytes, never past `limit`.
bool Grow(std::string& buffer, uint64_t limit) {
  const uint64_t wanted = std::max<uint64_t>(kFirstPart, uint64_t{buffer.size()} * 2);
  try {
    buffer.resize(static_cast<size_t>(std::min(wanted, limit)));
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return false;
  } catch (const std::length_error&) {
    errno = ENOMEM;
    return false;
  }
  return true;
}

}  // namespace

std::optional<std::string_view> ReadOpenFile(int fd, uint64_t cap, std::string& buffer,
                                             const std::function<void()>& after_read) {
  if (fd < 0)
    return std::nullopt;
  // One byte past the cap tells a file over it.
  const uint64_t limit = cap + 1;
  uint64_t total = 0;
  // Asked only once the first read has filled its room: most files fit that read. Files of
  // procfs and the like tell a size of 0 and are read to their end.
  std::optional<uint64_t> size_at_start;
  while (!size_at_start || *size_at_start == 0 || total < *size_at_start) {
    const uint64_t end = std::min<uint64_t>(buffer.size(), limit);
    if (total >= end) {
      if (total >= limit) {
        errno = EFBIG;
        return std::nullopt;
      }
      if (!Grow(buffer, limit))
        return std::nullopt;
      continue;
    }
    const ssize_t got = pread(fd, buffer.data() + total, static_cast<size_t>(end - total),
                              static_cast<off_t>(total));
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return std::nullopt;
    if (got == 0)
      break;
    total += static_cast<uint64_t>(got);
    if (after_read)
      after_read();
    if (size_at_start)
      continue;
    if (total < end)
      break;  // a first read that came back short read the whole file
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
      return std::nullopt;
    size_at_start = static_cast<uint64_t>(st.st_size);
    // Shorter than what came in already, the file was cut down under the read.
    if (*size_at_start > cap) {
      errno = EFBIG;
      return std::nullopt;
    }
    if (*size_at_start != 0 && *size_at_start < total)
      return std::nullopt;
  }
  // Ending before the size it had, the file was cut short under the read.
  if (total > cap || (size_at_start && total < *size_at_start))
    return std::nullopt;
  return std::string_view(buffer.data(), static_cast<size_t>(total));
}

bool ReadOpenFileInPieces(int fd, uint64_t cap, size_t piece_size,
                          const std::function<void(std::string_view)>& use) {
  if (fd < 0)
    return false;
  std::string piece(piece_size, '\0');
  uint64_t total = 0;
  while (true) {
    const ssize_t got = pread(fd, piece.data(), piece.size(), static_cast<off_t>(total));
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0)
      return got == 0;
    total += static_cast<uint64_t>(got);
    if (total > cap)
      return false;
    use(std::string_view(piece.data(), static_cast<size_t>(got)));
  }
}

std::optional<std::string> ReadWholeFile(const std::string& host_path, uint64_t cap) {
  const int fd = open(host_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0)
    return std::nullopt;
  std::string content;
  const std::optional<std::string_view> bytes = ReadOpenFile(fd, cap, content);
  close(fd);
  if (!bytes)
    return std::nullopt;
  content.resize(bytes->size());
  return content;
}

}  // namespace machine
