#include "machine/version_info.h"

#include <elf.h>

#include <cstring>
#include <fstream>

#include "machine/encoding.h"
#include "machine/text.h"

namespace machine {

namespace {

namespace fs = std::filesystem;

constexpr const char* kSectionName = ".hg_version";
constexpr uint64_t kMaxBlockSize = 64 * 1024;
constexpr uint64_t kMaxSections = 65536;

bool ReadAt(std::ifstream& in, uint64_t offset, void* out, uint64_t size) {
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(static_cast<char*>(out), static_cast<std::streamsize>(size));
  return static_cast<uint64_t>(in.gcount()) == size;
}

// The bytes of the named section of a 64-bit little-endian ELF file.
std::optional<std::string> ReadSection(const fs::path& file, std::string_view name) {
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return std::nullopt;
  std::error_code error;
  const uint64_t file_size = fs::file_size(file, error);
  if (error)
    return std::nullopt;

  Elf64_Ehdr header{};
  if (!ReadAt(in, 0, &header, sizeof header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
      header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_ident[EI_DATA] != ELFDATA2LSB ||
      header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shoff == 0)
    return std::nullopt;

  auto section_header = [&](uint64_t index, Elf64_Shdr& out) {
    return header.e_shoff + (index + 1) * sizeof(Elf64_Shdr) <= file_size &&
           ReadAt(in, header.e_shoff + index * sizeof(Elf64_Shdr), &out, sizeof out);
  };
  // Large files keep the section count and the name table's index in section 0.
  Elf64_Shdr first{};
  if (!section_header(0, first))
    return std::nullopt;
  const uint64_t count = header.e_shnum != 0 ? header.e_shnum : first.sh_size;
  const uint64_t names_index = header.e_shstrndx != SHN_XINDEX ? header.e_shstrndx : first.sh_link;
  Elf64_Shdr names{};
  if (count > kMaxSections || names_index >= count || !section_header(names_index, names) ||
      names.sh_offset > file_size || names.sh_size > file_size - names.sh_offset)
    return std::nullopt;
  std::string name_table(names.sh_size, '\0');
  if (!ReadAt(in, names.sh_offset, name_table.data(), name_table.size()))
    return std::nullopt;

  for (uint64_t i = 1; i < count; ++i) {
    Elf64_Shdr section{};
    if (!section_header(i, section))
      return std::nullopt;
    if (section.sh_name >= name_table.size() ||
        CutAtNul(std::string_view(name_table).substr(section.sh_name)) != name)
      continue;
    if (section.sh_type == SHT_NOBITS || section.sh_size > kMaxBlockSize ||
        section.sh_offset > file_size || section.sh_size > file_size - section.sh_offset)
      return std::nullopt;
    std::string bytes(section.sh_size, '\0');
    if (!ReadAt(in, section.sh_offset, bytes.data(), bytes.size()))
      return std::nullopt;
    return bytes;
  }
  return std::nullopt;
}

// "1.0" or "1.0.0.0": the first two numbers.
void ParseVersion(std::string_view text, VersionInfo& out) {
  const std::vector<std::string> parts = Split(TrimBlanks(text), ".");
  double number = 0;
  int32_t value = 0;
  if (!parts.empty() && ParseNumber(parts[0], number) && RoundHalfEvenToInt32(number, value))
    out.major = value;
  if (parts.size() > 1 && ParseNumber(parts[1], number) && RoundHalfEvenToInt32(number, value))
    out.minor = value;
}

std::optional<VersionInfo> ReadBlock(const fs::path& file, std::string executable_name) {
  const std::optional<std::string> block = ReadSection(file, kSectionName);
  if (!block)
    return std::nullopt;
  VersionInfo info;
  info.executable_name = std::move(executable_name);
  for (std::string line : Split(CutAtNul(*block), "\n")) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    const size_t equals = line.find('=');
    if (equals == std::string::npos)
      continue;
    const std::string key = TrimBlanks(line.substr(0, equals));
    // The block is written in UTF-8; the program works in its 8-bit character set.
    const std::string value = HostTextToWindows(line.substr(equals + 1));
    if (EqualsIgnoreCase(key, "ProductName"))
      info.product_name = value;
    else if (EqualsIgnoreCase(key, "CompanyName"))
      info.company_name = value;
    else if (EqualsIgnoreCase(key, "Comments"))
      info.comments = value;
    else if (EqualsIgnoreCase(key, "FileVersion"))
      ParseVersion(value, info);
  }
  return info;
}

}  // namespace

std::optional<VersionInfo> ReadVersionInfo(const fs::path& executable) {
  return ReadBlock(executable, executable.filename().string());
}

std::optional<VersionInfo> ReadOwnVersionInfo() {
  // Read through the link itself, which still reaches the file after it is replaced on disk.
  std::error_code error;
  std::string name = fs::read_symlink("/proc/self/exe", error).filename().string();
  constexpr std::string_view kDeleted = " (deleted)";
  if (name.ends_with(kDeleted))
    name.resize(name.size() - kDeleted.size());
  return ReadBlock("/proc/self/exe", std::move(name));
}

}  // namespace machine
