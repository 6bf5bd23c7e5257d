#include "engine/definitions/definitions_date.h"

#include "engine/definitions/definition_reader.h"
#include "machine/machine.h"
#include "model/app.h"

namespace engine {

std::string ReadDefinitionsDate(model::App& app) {
  auto reader =
      DefinitionReader::Open(app.system, kDefinitionsDateFile, DefinitionReader::Coding::kPlain);
  std::string line;
  if (!reader || !reader->ReadLine(line))
    return std::string(kDefaultDefinitionsDate);
  return line;
}

bool WriteDefinitionsDate(model::App& app, std::string_view text) {
  std::string content(text);
  content += "\r\n";
  return app.machine.files().WriteFile(ProgramFolderFile(app.system, kDefinitionsDateFile),
                                       content);
}

}  // namespace engine
