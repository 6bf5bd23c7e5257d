#include "engine/scan/company_name.h"

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

// A read-only view of a whole regular file. The file is mapped rather than read so that a
// large executable costs no heap; opened non-blocking so a FIFO can never hang the scan.
class MappedFile {
 public:
  explicit MappedFile(const std::filesystem::path& host_path) {
    const int fd = ::open(host_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
      return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
      void* data = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
      if (data != MAP_FAILED) {
        data_ = data;
        size_ = static_cast<size_t>(st.st_size);
      }
    }
    ::close(fd);
  }
  ~MappedFile() {
    if (data_ != nullptr)
      ::munmap(data_, size_);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::string_view bytes() const {
    return data_ == nullptr ? std::string_view()
                            : std::string_view(static_cast<char*>(data_), size_);
  }

 private:
  void* data_ = nullptr;
  size_t size_ = 0;
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
  const MappedFile file(*host_path);
  return CompanyNameFromBytes(file.bytes());
}

}  // namespace engine
