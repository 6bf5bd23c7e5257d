#include "machine/verified_copy.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "machine/descriptor.h"
#include "machine/dos_attributes.h"
#include "machine/held_folder.h"
#include "machine/host_files.h"
#include "machine/windows_tree.h"

namespace machine {

namespace {

namespace fs = std::filesystem;

// Deeper trees than this are not compared (the copy refuses them as well).
constexpr int kMostDepth = 256;

// Two buffers for comparing what is read from a source and from its copy.
struct Buffers {
  std::array<char, 65536> a;
  std::array<char, 65536> b;
};

Buffers& ScratchBuffers() {
  static thread_local Buffers buffers;
  return buffers;
}

// Reads as much as fits, up to the end; -1 on an error.
ssize_t ReadFull(int fd, char* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t got = read(fd, buffer + done, size - done);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return -1;
    if (got == 0)
      break;
    done += static_cast<size_t>(got);
  }
  return static_cast<ssize_t>(done);
}

// Copies `in` to `out` from where both stand, then reads both back from the start and compares
// them. The number of bytes copied, or -1 when anything failed or differed.
off_t CopyAndCompare(int in, int out) {
  auto& [buffer_a, buffer_b] = ScratchBuffers();
  off_t total = 0;
  for (;;) {
    const ssize_t got = ReadFull(in, buffer_a.data(), buffer_a.size());
    if (got < 0 || !WriteWhole(out, std::string_view(buffer_a.data(), static_cast<size_t>(got))))
      return -1;
    total += got;
    if (static_cast<size_t>(got) < buffer_a.size())
      break;
  }
  for (off_t offset = 0; offset < total;) {
    const size_t want =
        static_cast<size_t>(std::min<off_t>(total - offset, static_cast<off_t>(buffer_a.size())));
    const ssize_t got_a = pread(in, buffer_a.data(), want, offset);
    const ssize_t got_b = pread(out, buffer_b.data(), want, offset);
    if (got_a <= 0 || got_a != got_b ||
        std::memcmp(buffer_a.data(), buffer_b.data(), static_cast<size_t>(got_a)) != 0) {
      return -1;
    }
    offset += got_a;
  }
  return total;
}

// Compares the content of two files, and records the state of the source as it was read.
bool SameFileContent(const std::string& a, const std::string& b, struct stat& a_stamp) {
  const Descriptor fa(open(a.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  const Descriptor fb(open(b.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat sb {};
  if (!fa.ok() || !fb.ok() || fstat(fa.get(), &a_stamp) != 0 || fstat(fb.get(), &sb) != 0 ||
      !S_ISREG(a_stamp.st_mode) || !S_ISREG(sb.st_mode) || a_stamp.st_size != sb.st_size) {
    return false;
  }
  auto& [buffer_a, buffer_b] = ScratchBuffers();
  for (;;) {
    const ssize_t got_a = ReadFull(fa.get(), buffer_a.data(), buffer_a.size());
    const ssize_t got_b = ReadFull(fb.get(), buffer_b.data(), buffer_b.size());
    if (got_a < 0 || got_a != got_b)
      return false;
    if (got_a == 0)
      return true;
    if (std::memcmp(buffer_a.data(), buffer_b.data(), static_cast<size_t>(got_a)) != 0)
      return false;
  }
}

bool SameTreeBelow(const std::string& source, const std::string& copy, const std::string& key,
                   int depth, TreeStamps& stamps) {
  struct stat ss {};
  struct stat sc {};
  // The entry asked for counts as what it leads to, as the copy takes it; links inside it stay
  // links.
  const auto look = depth == 0 ? stat : lstat;
  if (depth > kMostDepth || look(source.c_str(), &ss) != 0)
    return false;
  // Never copied, so not looked for in the copy; unrecorded, it is never deleted either.
  if (!PartOfWindowsTree(ss.st_mode))
    return true;
  if (look(copy.c_str(), &sc) != 0)
    return false;
  bool same = true;
  if (S_ISREG(ss.st_mode)) {
    same = S_ISREG(sc.st_mode) && SameFileContent(source, copy, ss);
  } else if (S_ISLNK(ss.st_mode)) {
    std::error_code ea;
    std::error_code eb;
    const fs::path la = fs::read_symlink(source, ea);
    const fs::path lb = fs::read_symlink(copy, eb);
    same = S_ISLNK(sc.st_mode) && !ea && !eb && la == lb;
  } else if (S_ISDIR(ss.st_mode)) {
    same = S_ISDIR(sc.st_mode);
    std::error_code error;
    for (fs::directory_iterator it(source, error), end; same && !error && it != end;
         it.increment(error)) {
      const std::string name = it->path().filename().string();
      same = SameTreeBelow(source + "/" + name, copy + "/" + name,
                           key.empty() ? name : key + "/" + name, depth + 1, stamps);
    }
    same = same && !error;
  }
  if (depth > 0)
    stamps[key] = ss;
  return same;
}

void RemoveContent(int folder_fd, const std::string& key, const TreeStamps& stamps, int depth,
                   TreeRemoval& result) {
  const std::optional<std::vector<std::string>> names = EntryNames(folder_fd);
  if (!names) {
    ++result.left;
    return;
  }
  for (const std::string& name : *names) {
    const std::string path = key.empty() ? name : key + "/" + name;
    const auto recorded = stamps.find(path);
    struct stat now {};
    if (recorded == stamps.end() ||
        fstatat(folder_fd, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
        !Unchanged(recorded->second, now)) {
      ++result.left;
      continue;
    }
    const bool is_folder = S_ISDIR(now.st_mode);
    if (is_folder) {
      const Descriptor inner(
          openat(folder_fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      struct stat held {};
      if (depth >= kMostDepth || !inner.ok() || fstat(inner.get(), &held) != 0 ||
          !SameFile(held, now)) {
        ++result.left;
        continue;
      }
      RemoveContent(inner.get(), path, stamps, depth + 1, result);
    }
    if (unlinkat(folder_fd, name.c_str(), is_folder ? AT_REMOVEDIR : 0) == 0)
      ++result.removed;
    else
      ++result.left;
  }
}

}  // namespace

bool CopyFileChecked(int in, int folder_fd, const std::string& name) {
  struct stat before {};
  if (fstat(in, &before) != 0 || !S_ISREG(before.st_mode))
    return false;
  const int out = openat(folder_fd, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC,
                         before.st_mode & 07777);
  if (out < 0)
    return false;
  const off_t copied = CopyAndCompare(in, out);
  struct stat after {};
  bool ok =
      copied >= 0 && before.st_size == copied && fstat(in, &after) == 0 && after.st_size == copied;
  if (ok)
    CopyDosAttrib(PathToHeld(in), PathToHeld(out));
  ok = close(out) == 0 && ok;
  if (!ok)
    unlinkat(folder_fd, name.c_str(), 0);
  return ok;
}

bool SameTree(const std::string& source, const std::string& copy, TreeStamps& stamps) {
  return SameTreeBelow(source, copy, "", 0, stamps);
}

TreeRemoval RemoveUnchangedContent(int folder_fd, const TreeStamps& stamps) {
  TreeRemoval result;
  RemoveContent(folder_fd, "", stamps, 0, result);
  return result;
}

}  // namespace machine
