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

bool LineReader::ReadLine(std::string& line) {
  if (AtEnd())
    return false;
  const size_t lf = text_.find('\n', pos_);
  const size_t stop = lf == std::string::npos ? text_.size() : lf;
  size_t end = stop;
  if (lf != std::string::npos && end > pos_ && text_[end - 1] == '\r')
    --end;
  line.assign(text_, pos_, end - pos_);
  pos_ = lf == std::string::npos ? text_.size() : lf + 1;
  return true;
}

int64_t LineReader::CountRemaining() const {
  if (AtEnd())
    return 0;
  int64_t count = 0;
  size_t pos = pos_;
  while (pos < text_.size()) {
    const size_t lf = text_.find('\n', pos);
    ++count;
    if (lf == std::string::npos)
      break;
    pos = lf + 1;
  }
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
    line = services::DecodeText(line);
  return true;
}

bool ProgramFileExists(const services::System& system, std::string_view file_name) {
  return services::FileExists(system, ProgramFolderFile(system, file_name));
}

}  // namespace engine
