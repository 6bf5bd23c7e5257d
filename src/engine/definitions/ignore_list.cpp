#include "engine/definitions/ignore_list.h"

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

std::string& ListOf(model::App& app) {
  return app.definitions.strIgnoreList;
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
  // A load that runs during our yields (the user excluding more items) reads the file later
  // than we did; when it has put its list in place, ours is the older one and is dropped.
  const std::string list_before = ListOf(app);
  std::string list;
  if (ProgramFileExists(system, kIgnoreListFile)) {
    auto reader = DefinitionReader::Open(system, kIgnoreListFile, DefinitionReader::Coding::kPlain);
    if (!reader)
      return false;
    std::string line;
    while (reader->ReadLine(line)) {
      if (!machine::TrimBlanks(line).empty()) {
        list += line;
        list += '|';
      }
      system.Yield();
    }
  }
  if (ListOf(app) == list_before) {
    // The file only grows as a rule: then only the new entries need indexing.
    model::IgnoreIndex& index = app.definitions.ignore_index;
    if (list.compare(0, list_before.size(), list_before) == 0 &&
        (list_before.empty() || list_before.back() == '|')) {
      index.AddEntries(std::string_view(list).substr(list_before.size()));
    } else {
      index = model::IgnoreIndex(list);
    }
    ListOf(app) = std::move(list);
  }
  return true;
}

void AddToIgnoreList(model::App& app, std::string_view item) {
  std::string line = machine::TrimBlanks(item);
  // A blank line would list nothing and only grow the file.
  if (line.empty())
    return;
  line += "\r\n";
  app.system.machine.files().AppendFile(ProgramFolderFile(app.system, kIgnoreListFile), line);
  LoadIgnoreList(app);
}

}  // namespace engine
