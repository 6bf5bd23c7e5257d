#include "engine/scan/system32_path.h"

#include "machine/text.h"
#include "model/app.h"
#include "services/file_paths.h"

namespace engine {

std::string ExpandSystem32Path(const model::App& app, std::string_view path) {
  static constexpr std::string_view kMarker = "SYSTEM32\\";
  const std::string upper = machine::ToUpper(machine::TrimBlanks(path));
  const size_t found = upper.rfind(kMarker);
  if (found == std::string::npos)
    return std::string(path);
  std::string result = services::GetSystemDirectoryPath(app.system);
  // A system folder at a drive root ("C:\") already ends with its backslash.
  if (result.empty() || result.back() != '\\')
    result += '\\';
  result += upper.substr(found + kMarker.size());
  return result;
}

}  // namespace engine
