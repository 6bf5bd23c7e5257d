// The ignore list file as a user may have edited it: loaded as the program does at start-up,
// then asked about each of its own lines, as given, trimmed and as the folder of an entry.

#include "engine/definitions/ignore_list.h"

#include <string>

#include "engine/definitions/definition_reader.h"
#include "machine/text.h"
#include "model/app.h"
#include "support/fuzz_app.h"
#include "support/fuzz_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  model::App& app = hg_fuzz::SharedApp();
  const std::string_view text = hg_fuzz::AsText(data, size);
  const std::string file = engine::ProgramFolderFile(app.system, engine::kIgnoreListFile);
  HG_FUZZ_CHECK(hg_fuzz::PlantFile(file, text), "cannot write the ignore list");
  app.definitions.strIgnoreList.clear();
  HG_FUZZ_CHECK(engine::LoadIgnoreList(app), "the ignore list did not load");

  engine::LineReader lines{std::string(text)};
  std::string line;
  while (lines.ReadLine(line)) {
    const bool listed = !machine::TrimBlanks(line).empty() && line.find('|') == std::string::npos;
    const bool ignored = engine::IsIgnored(app, line);
    HG_FUZZ_CHECK(ignored || !listed, line);
    HG_FUZZ_CHECK(!ignored || engine::IsIgnoredPartial(app, line), line);
    engine::IsIgnored(app, machine::TrimBlanks(line));
    const size_t backslash = line.rfind('\\');
    if (backslash != std::string::npos)
      engine::IsIgnoredPartial(app, std::string_view(line).substr(0, backslash));
  }
  hg_fuzz::RemovePlantedFile(file);
  return 0;
}
