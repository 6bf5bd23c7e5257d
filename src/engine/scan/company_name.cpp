#include "engine/scan/company_name.h"

#include <errno.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "machine/machine.h"
#include "model/app.h"

namespace engine {

namespace {

constexpr size_t kNone = std::string_view::npos;
// How far past the value's start the fallback looks for a control character.
constexpr size_t kFallbackScan = 255;

// Most files fit the first read, which then costs no size query. Past kReadLimit a file is
// mapped rather than read, so a big executable costs no heap.
constexpr size_t kFirstRead = 64 * 1024;
constexpr off_t kReadLimit = 1 << 20;

// Appends the rest of the file to `out`; false on a read error.
bool ReadToEnd(int fd, std::string& out) {
  for (;;) {
    const size_t done = out.size();
    out.resize(done + kFirstRead);
    const ssize_t got = ::read(fd, out.data() + done, kFirstRead);
    out.resize(done + (got > 0 ? static_cast<size_t>(got) : 0));
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0)
      return got == 0;
  }
}

// A read-only view of a whole file, from a descriptor opened non-blocking, so that a FIFO can
// never hang the scan; a file that turns out not to be regular reads as empty. A small file's view
// lies in a buffer of the thread that the next FileBytes on that thread reuses.
class FileBytes {
 public:
  // Takes the descriptor over; -1 reads as empty.
  explicit FileBytes(int fd) {
    if (fd < 0)
      return;
    Load(fd);
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
  void Load(int fd) {
    // A short first read of a regular file is the whole file.
    // One buffer per thread for the first read: a scan reads thousands of small files, and a
    // fresh block for each costs more than the read.
    thread_local const std::unique_ptr<char[]> first_read =
        std::make_unique_for_overwrite<char[]>(kFirstRead);
    ssize_t got;
    do {
      got = ::read(fd, first_read.get(), kFirstRead);
    } while (got < 0 && errno == EINTR);
    if (got <= 0)
      return;
    if (static_cast<size_t>(got) < kFirstRead) {
      bytes_ = std::string_view(first_read.get(), static_cast<size_t>(got));
      return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
      return;
    if (st.st_size > kReadLimit) {
      Map(fd, static_cast<size_t>(st.st_size));
      return;
    }
    rest_.assign(first_read.get(), kFirstRead);
    if (ReadToEnd(fd, rest_))
      bytes_ = rest_;
  }
  void Map(int fd, size_t size) {
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (data == MAP_FAILED)
      return;
    mapped_ = data;
    mapped_size_ = size;
    bytes_ = std::string_view(static_cast<const char*>(data), size);
  }

  std::string rest_;
  void* mapped_ = nullptr;
  size_t mapped_size_ = 0;
  std::string_view bytes_;
};

// bytes.find("\0\0\0", from), the end of a wide value, without restarting a search at every
// other byte of it.
size_t FindThreeNuls(std::string_view bytes, size_t from) {
  size_t run = 0;
  for (size_t i = from; i < bytes.size(); ++i) {
    run = bytes[i] == '\0' ? run + 1 : 0;
    if (run == 3)
      return i - 2;
  }
  return kNone;
}

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
  static const std::string wide_section_key = ToWideText("StringFileInfo");
  // Some resource compilers give the block holding the strings the type word 0 (binary).
  static const std::string wide_section_key_type0 = '\0' + wide_section_key.substr(1);
  static const std::string wide_company_key = ToWideText("CompanyName");
  static const std::string wide_next_key = ToWideText("FileDescription");
  size_t search_start = 0;
  size_t value_start = kNone;
  std::string_view next_key;

  size_t wide_section = bytes.find(wide_section_key);
  if (wide_section == kNone)
    wide_section = bytes.find(wide_section_key_type0);
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
    const size_t key = bytes.find(wide_company_key, search_start);
    if (key != kNone) {
      value_start = key + 26;
      next_key = wide_next_key;
    }
  }
  if (value_start == kNone || value_start >= bytes.size())
    return "";

  size_t end = FindThreeNuls(bytes, value_start);
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
  const FileBytes file(app.machine.files().OpenForReading(path));
  return CompanyNameFromBytes(file.bytes());
}

}  // namespace engine
