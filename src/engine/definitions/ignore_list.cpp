#include "engine/definitions/ignore_list.h"

#include <optional>
#include <utility>

#include "engine/definitions/definition_reader.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "model/app.h"

namespace engine {

namespace {

bool Matches(const model::IgnoreIndex& index, std::string_view item) {
  return index.Contains(item) || index.Contains(machine::TrimBlanks(item));
}

bool MatchesPartial(const model::IgnoreIndex& index, std::string_view item) {
  return Matches(index, item) || index.HasEntryInside(item);
}

}  // namespace

bool IgnoreListMatches(std::string_view list, std::string_view item) {
  return Matches(model::IgnoreIndex(list), item);
}

bool IgnoreListMatchesPartial(std::string_view list, std::string_view item) {
  return MatchesPartial(model::IgnoreIndex(list), item);
}

bool IsIgnored(const model::App& app, std::string_view item) {
  return Matches(app.definitions.ignore_index, item);
}

bool IsIgnoredPartial(const model::App& app, std::string_view item) {
  return MatchesPartial(app.definitions.ignore_index, item);
}

bool LoadIgnoreList(model::App& app) {
  const services::System& system = app.system;
  model::DefinitionsState& state = app.definitions;
  // A load that runs during our yields (the user excluding more items) reads the file later
  // than we did; when it has put its list in place, ours is the older one and is dropped.
  const uint64_t loads_before = state.ignore_list_loads;
  std::optional<machine::GrowthRead> read;
  if (ProgramFileExists(system, kIgnoreListFile)) {
    read = system.machine.files().ReadSince(ProgramFolderFile(system, kIgnoreListFile),
                                            state.ignore_file_mark);
    if (!read)
      return false;
  }
  std::string entries;
  if (read) {
    LineReader lines(std::move(read->bytes));
    std::string line;
    while (lines.ReadLine(line)) {
      if (!machine::TrimBlanks(line).empty()) {
        entries += line;
        entries += '|';
      }
      system.Yield();
    }
  }
  if (state.ignore_list_loads != loads_before)
    return true;
  ++state.ignore_list_loads;
  if (read && read->appended) {
    state.ignore_index.AddEntries(entries);
    state.strIgnoreList += entries;
  } else {
    state.ignore_index = model::IgnoreIndex(entries);
    state.strIgnoreList = std::move(entries);
  }
  state.ignore_file_mark.reset();
  if (read)
    state.ignore_file_mark = std::move(read->mark);
  return true;
}

void AddToIgnoreList(model::App& app, std::string_view item) {
  const std::string line = machine::TrimBlanks(item);
  // A blank line would list nothing and only grow the file.
  if (line.empty())
    return;
  app.system.machine.files().AppendLine(ProgramFolderFile(app.system, kIgnoreListFile), line,
                                        app.definitions.ignore_file_mark);
  LoadIgnoreList(app);
}

}  // namespace engine
