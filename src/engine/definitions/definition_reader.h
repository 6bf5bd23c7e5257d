#pragma once
// Reading the program folder's text files line by line: the five definition files (each line
// stored encoded) and the plain ones beside them (the ignore list). In an encoded file only CR LF
// ends a line: the codec turns ordinary characters into LF or CR, which stay text of the line.
// In a plain file an LF alone ends a line too. The end is not part of the line, and a last line
// without one still counts.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "services/system.h"

namespace engine {

inline constexpr std::string_view kFileDefinitionFile = "FileDefinition.dat";
inline constexpr std::string_view kDirectoryDefinitionFile = "DirectoryDefinition.dat";
inline constexpr std::string_view kExeDefinitionFile = "ExeDefinition.dat";
inline constexpr std::string_view kRegistryDefinitionFile = "RegistryDefinition.dat";
inline constexpr std::string_view kBlockedCookiesFile = "BlockedCookies.dat";
inline constexpr std::string_view kDefinitionsDateFile = "date.dat";
inline constexpr std::string_view kIgnoreListFile = "ENoSignature.txt";
// A downloaded replacement is the live file's name behind this prefix.
inline constexpr std::string_view kDownloadedPrefix = "DL";

// The Windows path of a file directly in the program folder.
std::string ProgramFolderFile(const services::System& system, std::string_view name);

// Hands out the lines of a text held in memory, in order.
class LineReader {
 public:
  enum class Ends { kCrLfOrLf, kCrLfOnly };

  LineReader() = default;
  explicit LineReader(std::string text, Ends ends = Ends::kCrLfOrLf)
      : text_(std::move(text)), ends_(ends) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  // The next line without its end; false (and `line` untouched) at the end of the text.
  bool ReadLine(std::string& line);
  // Lines left to read, counted without reading them.
  int64_t CountRemaining() const;

 private:
  // Where the line starting at `from` stops, and where the next one starts.
  std::pair<size_t, size_t> LineEnd(size_t from) const;

  std::string text_;
  Ends ends_ = Ends::kCrLfOrLf;
  size_t pos_ = 0;
};

// The lines of a file of the program folder. The file is read whole when opened, so nothing
// stays open while the reader's user yields to the message loop.
class DefinitionReader {
 public:
  enum class Coding { kEncoded, kPlain };

  // Nothing when the file is absent, is not a normal file (hidden or system counts as absent)
  // or cannot be read. Lines of an encoded file end at CR LF only.
  static std::optional<DefinitionReader> Open(const services::System& system,
                                              std::string_view file_name,
                                              Coding coding = Coding::kEncoded);

  bool AtEnd() const { return lines_.AtEnd(); }
  // The next line without its end, decoded for an encoded file; false at the end.
  bool ReadLine(std::string& line);
  int64_t CountRemaining() const { return lines_.CountRemaining(); }

 private:
  DefinitionReader(std::string text, Coding coding)
      : lines_(std::move(text), coding == Coding::kEncoded ? LineReader::Ends::kCrLfOnly
                                                           : LineReader::Ends::kCrLfOrLf),
        coding_(coding) {}

  LineReader lines_;
  Coding coding_;
};

// Whether the file of the program folder is there as a normal file.
bool ProgramFileExists(const services::System& system, std::string_view file_name);

}  // namespace engine
