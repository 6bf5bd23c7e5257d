#include "engine/definitions/definition_reader.h"

#include "machine/machine.h"
#include "services/file_paths.h"
#include "services/text_codec.h"

namespace engine {

std::string ProgramFolderFile(const services::System& system, std::string_view name) {
  std::string path = system.machine.profile().program_folder;
  path += '\\';
  path += name;
  return path;
}

std::pair<size_t, size_t> LineReader::LineEnd(size_t from) const {
  if (ends_ == Ends::kCrLfOnly) {
    const size_t crlf = text_.find("\r\n", from);
    return crlf == std::string::npos ? std::pair{text_.size(), text_.size()}
                                     : std::pair{crlf, crlf + 2};
  }
  const size_t lf = text_.find('\n', from);
  if (lf == std::string::npos)
    return {text_.size(), text_.size()};
  const size_t stop = lf > from && text_[lf - 1] == '\r' ? lf - 1 : lf;
  return {stop, lf + 1};
}

bool LineReader::ReadLine(std::string& line) {
  if (AtEnd())
    return false;
  const auto [stop, next] = LineEnd(pos_);
  line.assign(text_, pos_, stop - pos_);
  pos_ = next;
  return true;
}

int64_t LineReader::CountRemaining() const {
  int64_t count = 0;
  for (size_t pos = pos_; pos < text_.size(); pos = LineEnd(pos).second)
    ++count;
  return count;
}

std::optional<DefinitionReader> DefinitionReader::Open(const services::System& system,
                                                       std::string_view file_name, Coding coding) {
  const std::string path = ProgramFolderFile(system, file_name);
  if (!services::FileExists(system, path))
    return std::nullopt;
  std::optional<std::string> text =
      system.machine.files().ReadFile(path, machine::ReadCap::kDefinitionFile);
  if (!text)
    return std::nullopt;
  return DefinitionReader(std::move(*text), coding);
}

bool DefinitionReader::ReadLine(std::string& line) {
  if (!lines_.ReadLine(line))
    return false;
  if (coding_ == Coding::kEncoded)
    services::DecodeTextInPlace(line);
  return true;
}

bool ProgramFileExists(const services::System& system, std::string_view file_name) {
  return services::FileExists(system, ProgramFolderFile(system, file_name));
}

}  // namespace engine
