// A definition file as stored: every line decoded and read as each kind of definition line: a
// file or folder line (its folder made real), a registry line, a blocked cookie entry and a
// running-program line.

#include <string>
#include <vector>

#include "engine/definitions/definition_reader.h"
#include "engine/scan/blocked_cookie_line.h"
#include "engine/scan/cookie_domain.h"
#include "engine/scan/definition_line.h"
#include "engine/scan/memory_stage_nt.h"
#include "engine/scan/registry_definition_line.h"
#include "machine/text.h"
#include "model/app.h"
#include "services/registry_roots.h"
#include "services/text_codec.h"
#include "support/fuzz_app.h"
#include "support/fuzz_machine.h"

namespace {

bool Holds(std::string_view text, char c) {
  return text.find(c) != std::string_view::npos;
}

void FileOrFolderLine(model::App& app, const std::string& decoded) {
  const engine::DefinitionLine line = engine::ParseDefinitionLine(decoded);
  HG_FUZZ_CHECK(!Holds(line.name, '|') && !Holds(line.name, '='), decoded);
  HG_FUZZ_CHECK(!Holds(line.threat_name, '|') && !Holds(line.threat_name, '='), decoded);
  HG_FUZZ_CHECK(!Holds(line.folder, '|') && !Holds(line.extra_text, '|'), decoded);
  HG_FUZZ_CHECK(line.has_folder == Holds(decoded, '|'), decoded);
  std::string folder;
  if (engine::ExpandDefinitionFolder(app.system, line.folder, "C:\\", folder))
    engine::IsAbsoluteWindowsPath(engine::CollapseDoubleBackslashes(folder + "\\" + line.name));
}

void RegistryLine(model::App& app, const std::string& decoded) {
  const engine::RegistryDefinitionLine line = engine::ParseRegistryDefinitionLine(decoded);
  HG_FUZZ_CHECK(line.has_threat_part == Holds(decoded, '='), decoded);
  HG_FUZZ_CHECK(!Holds(line.root_code, '^') && !Holds(line.key_path, '^'), decoded);
  HG_FUZZ_CHECK(!Holds(line.value_name, '^') && !Holds(line.threat_name, '='), decoded);
  HG_FUZZ_CHECK(!Holds(line.threat_name, '|') && !Holds(line.type_text, '|'), decoded);
  line.HasKeyPath();
  services::RootKeyFromCode(app.system, line.root_code);
}

void RunningProgramLine(model::App& app, const std::string& decoded) {
  if (const auto path = engine::ExeDefinitionPath(app, decoded))
    HG_FUZZ_CHECK(engine::IsAbsoluteWindowsPath(*path), decoded);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  model::App& app = hg_fuzz::SharedApp();
  engine::LineReader lines{std::string(hg_fuzz::AsText(data, size))};
  std::string blocked_text;
  std::vector<std::string> decoded_lines;
  std::string line;
  while (lines.ReadLine(line)) {
    const std::string decoded = services::DecodeText(line);
    if (!Holds(decoded, '\xff'))
      HG_FUZZ_CHECK(services::DecodeText(services::EncodeText(decoded)) == decoded, decoded);
    FileOrFolderLine(app, decoded);
    RegistryLine(app, decoded);
    RunningProgramLine(app, decoded);
    blocked_text += decoded + "|";
    decoded_lines.push_back(decoded);
  }
  // The blocked list as the cookie stage builds it, asked about each line's own domain.
  const std::vector<std::string> blocked = machine::Split(blocked_text, "|");
  for (const std::string& decoded : decoded_lines)
    engine::IsBlockedCookieDomain(blocked, engine::ReduceCookieDomain(decoded));
  return 0;
}
