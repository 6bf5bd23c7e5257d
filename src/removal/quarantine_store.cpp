#include "removal/quarantine_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "machine/dos_attributes.h"
#include "machine/encoding.h"
#include "machine/host_files.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "services/system.h"

namespace removal {

namespace {

namespace fs = std::filesystem;

// Beyond this many candidates the folder is considered full for that name.
constexpr int kMostCandidates = 100000;
// Deeper trees than this are not compared (the copy refuses them as well).
constexpr int kMostDepth = 256;

class Descriptor {
 public:
  explicit Descriptor(const std::string& path)
      : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
  ~Descriptor() {
    if (fd_ >= 0)
      close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

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

bool SameFileContent(const std::string& a, const std::string& b) {
  const Descriptor fa(a);
  const Descriptor fb(b);
  struct stat sa {};
  struct stat sb {};
  if (fa.get() < 0 || fb.get() < 0 || fstat(fa.get(), &sa) != 0 || fstat(fb.get(), &sb) != 0 ||
      !S_ISREG(sa.st_mode) || !S_ISREG(sb.st_mode) || sa.st_size != sb.st_size) {
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

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// Copies `in` to `out` from where both stand, then reads both back from the start and compares
// them. The number of bytes copied, or -1 when anything failed or differed.
off_t CopyAndCompare(int in, int out) {
  auto& [buffer_a, buffer_b] = ScratchBuffers();
  off_t total = 0;
  for (;;) {
    const ssize_t got = ReadFull(in, buffer_a.data(), buffer_a.size());
    if (got < 0 || !WriteAll(out, buffer_a.data(), static_cast<size_t>(got)))
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

// Copies a regular file to `to`, which must not exist, and reads the copy back against the
// source. False, with no copy left behind, when anything failed or differed (a source that
// changed meanwhile included).
bool CopyFileChecked(const std::string& from, const std::string& to) {
  const Descriptor in(from);
  struct stat before {};
  if (in.get() < 0 || fstat(in.get(), &before) != 0 || !S_ISREG(before.st_mode))
    return false;
  const int out = open(to.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, before.st_mode & 07777);
  if (out < 0)
    return false;
  const off_t copied = CopyAndCompare(in.get(), out);
  struct stat after {};
  bool ok = copied >= 0 && before.st_size == copied && fstat(in.get(), &after) == 0 &&
            after.st_size == copied;
  ok = close(out) == 0 && ok;
  if (ok)
    machine::CopyDosAttrib(from, to);
  else
    unlink(to.c_str());
  return ok;
}

// True when `copy` holds everything `source` holds: the same entries with the same kinds, files
// of the same content, links to the same targets. Entries that are not part of a Windows tree
// (sockets, pipes, devices) are not copied and not compared.
bool SameTree(const std::string& source, const std::string& copy, int depth) {
  struct stat ss {};
  struct stat sc {};
  // The entry asked for counts as what it leads to, as the copy takes it; links inside it stay
  // links.
  const auto look = depth == 0 ? stat : lstat;
  if (depth > kMostDepth || look(source.c_str(), &ss) != 0 || look(copy.c_str(), &sc) != 0)
    return false;
  if (S_ISREG(ss.st_mode))
    return S_ISREG(sc.st_mode) && SameFileContent(source, copy);
  if (S_ISLNK(ss.st_mode)) {
    std::error_code ea;
    std::error_code eb;
    const fs::path la = fs::read_symlink(source, ea);
    const fs::path lb = fs::read_symlink(copy, eb);
    return S_ISLNK(sc.st_mode) && !ea && !eb && la == lb;
  }
  if (!S_ISDIR(ss.st_mode))
    return true;
  if (!S_ISDIR(sc.st_mode))
    return false;
  std::error_code error;
  for (fs::directory_iterator it(source, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!SameTree(source + "/" + name, copy + "/" + name, depth + 1))
      return false;
  }
  return !error;
}

// True when the folder at `source` still holds exactly what its copy holds: nothing of it was
// deleted, so the copy is not the only place its content is kept.
bool IsWhole(const std::string& source, const std::string& copy) {
  return SameTree(source, copy, 0) && SameTree(copy, source, 0);
}

// The item's own name: the last name of the path as the file system sees it.
std::optional<std::string> ItemNameOf(std::string_view path) {
  const std::optional<machine::WindowsPath> parsed = machine::ParseWindowsPath(path);
  if (!parsed || parsed->components.empty())
    return std::nullopt;
  return parsed->components.back();
}

std::string Candidate(std::string_view name, bool is_folder, int number) {
  if (number == 1)
    return std::string(name);
  const std::string suffix = " (" + std::to_string(number) + ")";
  const size_t dot = is_folder ? std::string_view::npos : name.rfind('.');
  if (dot == std::string_view::npos || dot == 0)
    return std::string(name) + suffix;
  return std::string(name.substr(0, dot)) + suffix + std::string(name.substr(dot));
}

bool Exists(const std::string& host_path) {
  struct stat st {};
  return lstat(host_path.c_str(), &st) == 0;
}

}  // namespace

std::string QuarantineFolderPath(const services::System& system) {
  std::string folder = system.machine.profile().program_folder;
  while (!folder.empty() && folder.back() == '\\')
    folder.pop_back();
  return folder + "\\quarantine";
}

QuarantineStore::QuarantineStore(services::System& system)
    : system_(system), log_host_name_(machine::WindowsTextToHost(kQuarantineLogName)) {
  const machine::FileSystem& files = system.machine.files();
  const std::string folder = QuarantineFolderPath(system);
  const std::optional<machine::FileAttributes> attributes = files.Attributes(folder);
  const std::optional<fs::path> host = files.Resolve(folder);
  if (!attributes || !attributes->is_folder || !host)
    return;
  const std::string log_folded = machine::ToUpper(kQuarantineLogName);
  std::error_code error;
  for (fs::directory_iterator it(*host, error), end; !error && it != end; it.increment(error)) {
    const std::string host_name = it->path().filename().string();
    std::string folded = machine::ToUpper(machine::HostTextToWindows(host_name));
    if (folded == log_folded)
      log_host_name_ = host_name;
    taken_.insert(std::move(folded));
  }
  if (!error)
    host_folder_ = host->string();
}

bool QuarantineStore::IsTaken(const std::string& name) const {
  return machine::EqualsIgnoreCase(name, kQuarantineLogName) ||
         taken_.count(machine::ToUpper(name)) > 0;
}

std::string QuarantineStore::FreeName(std::string_view name, bool is_folder) const {
  if (!ok())
    return {};
  for (int number = 1; number <= kMostCandidates; ++number) {
    std::string candidate = Candidate(name, is_folder, number);
    if (!IsTaken(candidate))
      return candidate;
  }
  return {};
}

bool QuarantineStore::CopyIn(const std::string& source_host, std::string_view name, bool is_folder,
                             Copied& copied) {
  for (int number = 1; number <= kMostCandidates; ++number) {
    std::string candidate = Candidate(name, is_folder, number);
    if (IsTaken(candidate))
      continue;
    std::string target = host_folder_ + "/" + machine::WindowsTextToHost(candidate);
    const bool made = is_folder ? machine::CopyAtomically(source_host, target)
                                : CopyFileChecked(source_host, target);
    if (made) {
      taken_.insert(machine::ToUpper(candidate));
      copied = {std::move(candidate), std::move(target)};
      return true;
    }
    // A name that appeared since the folder was looked at is skipped; any other failure ends
    // the attempt.
    if (!Exists(target))
      return false;
    taken_.insert(machine::ToUpper(candidate));
  }
  return false;
}

void QuarantineStore::TakeBack(const Copied& copied, bool is_folder) {
  std::error_code error;
  if (is_folder)
    fs::remove_all(copied.host_path, error);
  else
    fs::remove(copied.host_path, error);
  if (!error)
    taken_.erase(machine::ToUpper(copied.stored_name));
}

MoveResult QuarantineStore::Move(std::string_view path, bool is_folder) {
  // The entry the path names now is the one copied and the one deleted.
  const std::optional<fs::path> found = system_.machine.files().Resolve(path);
  struct stat st {};
  if (!found || stat(found->c_str(), &st) != 0 || S_ISDIR(st.st_mode) != is_folder)
    return {MoveStatus::kNotThere, {}};
  const std::string source = found->string();
  const std::optional<std::string> name = ItemNameOf(path);
  Copied copied;
  if (!ok() || !name || !CopyIn(source, *name, is_folder, copied))
    return {MoveStatus::kCopyFailed, {}};
  // A file's copy was checked as it was made; a folder's is checked now.
  if (is_folder && !SameTree(source, copied.host_path, 0)) {
    TakeBack(copied, is_folder);
    return {MoveStatus::kCopyFailed, {}};
  }

  std::error_code error;
  if (is_folder)
    fs::remove_all(source, error);
  else if (unlink(source.c_str()) != 0)
    error = std::error_code(errno, std::generic_category());
  if (!error)
    return {MoveStatus::kMoved, std::move(copied.stored_name)};
  // A folder that is still whole can take its copy back; one that lost anything cannot.
  if (!is_folder || IsWhole(source, copied.host_path)) {
    TakeBack(copied, is_folder);
    return {MoveStatus::kDeleteFailed, {}};
  }
  return {MoveStatus::kPartlyDeleted, std::move(copied.stored_name)};
}

QuarantineStore::~QuarantineStore() {
  if (log_fd_ >= 0)
    close(log_fd_);
}

bool QuarantineStore::AppendLog(std::string_view text) {
  if (!ok())
    return false;
  if (log_fd_ < 0) {
    const std::string log = host_folder_ + "/" + log_host_name_;
    log_fd_ = open(log.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    struct stat st {};
    if (log_fd_ >= 0 && (fstat(log_fd_, &st) != 0 || !S_ISREG(st.st_mode))) {
      close(log_fd_);
      log_fd_ = -1;
    }
    if (log_fd_ < 0)
      return false;
  }
  // An entry that cannot be written whole is cut back off.
  const off_t end = lseek(log_fd_, 0, SEEK_END);
  if (end >= 0 && WriteAll(log_fd_, text.data(), text.size()))
    return true;
  if (end >= 0 && ftruncate(log_fd_, end) != 0) {
    // Nothing more can be done; the entry is lost and the caller hears of it.
  }
  return false;
}

}  // namespace removal
