#include "engine/scan/company_name.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "machine/machine.h"
#include "model/app.h"

namespace engine {

namespace {

constexpr size_t kNone = std::string_view::npos;
// How far past the value's start the fallback looks for a control character.
constexpr size_t kFallbackScan = 255;

// Files up to this size are read; larger ones are mapped, so a big executable costs no heap.
constexpr off_t kReadLimit = 1 << 20;

// A read-only view of a whole regular file. Opened non-blocking so that a FIFO can never hang
// the scan; anything but a regular file reads as empty.
class FileBytes {
 public:
  explicit FileBytes(const std::filesystem::path& host_path) {
    const int fd = ::open(host_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
      return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
      if (st.st_size <= kReadLimit) {
        Read(fd, static_cast<size_t>(st.st_size));
      } else {
        Map(fd, static_cast<size_t>(st.st_size));
      }
    }
    ::close(fd);
  }
  ~FileBytes() {
    if (mapped_ != nullptr)
      ::munmap(mapped_, mapped_size_);
  }
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  std::string_view bytes() const { return bytes_; }

 private:
  void Read(int fd, size_t size) {
    buffer_.resize(size);
    size_t done = 0;
    while (done < size) {
      const ssize_t got = ::read(fd, buffer_.data() + done, size - done);
      if (got < 0 && errno == EINTR)
        continue;
      if (got <= 0)
        break;
      done += static_cast<size_t>(got);
    }
    buffer_.resize(done);
    bytes_ = buffer_;
  }
  void Map(int fd, size_t size) {
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (data == MAP_FAILED)
      return;
    mapped_ = data;
    mapped_size_ = size;
    bytes_ = std::string_view(static_cast<const char*>(data), size);
  }

  std::string buffer_;
  void* mapped_ = nullptr;
  size_t mapped_size_ = 0;
  std::string_view bytes_;
};

}  // namespace

std::string ToWideText(std::string_view key) {
  std::string wide(1, '\x01');
  for (const char c : key) {
    wide.push_back('\0');
    wide.push_back(c);
  }
  return wide;
}

std::string CompanyNameFromBytes(std::string_view bytes) {
  size_t search_start = 0;
  size_t value_start = kNone;
  std::string next_key;

  const size_t wide_section = bytes.find(ToWideText("StringFileInfo"));
  if (wide_section == kNone) {
    // An old 8-bit resource: the key and its NUL, then the value.
    const size_t plain_section = bytes.find("StringFileInfo");
    search_start = plain_section == kNone ? 0 : plain_section;
    const size_t key = bytes.find("CompanyName", search_start);
    if (key != kNone) {
      value_start = key + 12;
      next_key = "FileDescription";
    }
  } else {
    search_start = wide_section;
  }
  if (value_start == kNone) {
    // Type word, key and its NUL terminator, then the value.
    const size_t key = bytes.find(ToWideText("CompanyName"), search_start);
    if (key != kNone) {
      value_start = key + 26;
      next_key = ToWideText("FileDescription");
    }
  }
  if (value_start == kNone || value_start >= bytes.size())
    return "";

  size_t end = bytes.find(std::string_view("\0\0\0", 3), value_start);
  const bool runs_into_next_key =
      end != kNone && bytes.substr(value_start, end - value_start).find(next_key) != kNone;
  if (end == kNone || runs_into_next_key) {
    const size_t limit = std::min(bytes.size(), value_start + 1 + kFallbackScan);
    for (size_t i = value_start + 1; i < limit; ++i) {
      if (static_cast<unsigned char>(bytes[i]) < 32) {
        end = i;
        break;
      }
    }
  }
  if (end == kNone)
    return "";

  std::string value;
  for (const char c : bytes.substr(value_start, end - value_start)) {
    if (c != '\0')
      value.push_back(c);
  }
  return value;
}

std::string GetFileCompanyName(model::App& app, std::string_view path) {
  const auto host_path = app.machine.files().Resolve(path);
  if (!host_path)
    return "";
  const FileBytes file(*host_path);
  return CompanyNameFromBytes(file.bytes());
}

}  // namespace engine
