#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "services/text_codec.h"
#include "update_server.h"

namespace update_server {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDateFile = "date.txt";
// Far above any real definition file; a larger one is not a release.
constexpr std::streamsize kMaxFileBytes = 64 << 20;

std::vector<std::string>* Member(DefinitionFiles& files, size_t index) {
  std::vector<std::string>* members[] = {&files.file, &files.exe, &files.registry, &files.cookies,
                                         &files.directory};
  return members[index];
}

// A regular file that is not a link, read up to the cap.
std::optional<std::string> ReadSmallFile(const fs::path& path) {
  std::error_code error;
  if (fs::symlink_status(path, error).type() != fs::file_type::regular)
    return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  std::string content;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    content.append(buffer, static_cast<size_t>(in.gcount()));
    if (static_cast<std::streamsize>(content.size()) > kMaxFileBytes)
      return std::nullopt;
  }
  if (in.bad())
    return std::nullopt;
  return content;
}

// Lines ended by LF or CR LF; a last line without its end counts.
std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos)
      break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

bool WriteNewFile(const fs::path& path, const std::string& content) {
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(path, error)))
    return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace

std::optional<Release> ReadRelease(const fs::path& folder, std::string* error) {
  auto fail = [&](const std::string& why) -> std::optional<Release> {
    if (error)
      *error = folder.filename().string() + ": " + why;
    return std::nullopt;
  };
  const auto date_text = ReadSmallFile(folder / kDateFile);
  if (!date_text)
    return fail(std::string("no readable ") + kDateFile);
  const std::vector<std::string> date_lines = SplitLines(*date_text);
  const auto date =
      date_lines.empty() ? std::nullopt : machine::ParseGeneralDate(date_lines.front());
  if (!date)
    return fail(std::string(kDateFile) + " holds no date");
  Release release{*date, {}};
  for (size_t i = 0; i < kDefinitionFileNames.size(); ++i) {
    const auto content = ReadSmallFile(folder / kDefinitionFileNames[i]);
    if (!content)
      return fail("no readable " + std::string(kDefinitionFileNames[i]));
    for (const std::string& line : SplitLines(*content))
      Member(release.files, i)->push_back(services::DecodeText(line));
  }
  return release;
}

bool WriteRelease(const fs::path& folder, const Release& release) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (!fs::is_directory(fs::symlink_status(folder, error)))
    return false;
  if (!WriteNewFile(folder / kDateFile, machine::FormatGeneralDate(release.date) + "\r\n"))
    return false;
  DefinitionFiles files = release.files;
  for (size_t i = 0; i < kDefinitionFileNames.size(); ++i) {
    std::string content;
    for (const std::string& line : *Member(files, i))
      content += services::EncodeText(line) + "\r\n";
    if (!WriteNewFile(folder / kDefinitionFileNames[i], content))
      return false;
  }
  return true;
}

}  // namespace update_server
