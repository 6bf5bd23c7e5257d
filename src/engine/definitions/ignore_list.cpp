#include "engine/definitions/ignore_list.h"

#include "engine/definitions/definition_reader.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "model/app.h"

namespace engine {

namespace {

// Calls `test` for each entry of the list; the text after the last "|" is one more, empty,
// entry. An empty list has none.
template <typename Test>
bool AnyEntry(std::string_view list, Test&& test) {
  if (list.empty())
    return false;
  for (;;) {
    const size_t bar = list.find('|');
    if (test(list.substr(0, bar)))
      return true;
    if (bar == std::string_view::npos)
      return false;
    list.remove_prefix(bar + 1);
  }
}

bool EntryEquals(std::string_view entry, std::string_view item, std::string_view trimmed_item) {
  return machine::EqualsIgnoreCase(item, entry) || machine::EqualsIgnoreCase(trimmed_item, entry);
}

// The entry names something inside the item's folder.
bool EntryInsideFolder(std::string_view entry, std::string_view folder) {
  if (folder.empty())
    return false;
  if (folder.back() == '\\')
    return machine::StartsWithIgnoreCase(entry, folder);
  return entry.size() > folder.size() && entry[folder.size()] == '\\' &&
         machine::StartsWithIgnoreCase(entry, folder);
}

std::string& ListOf(model::App& app) {
  return app.definitions.strIgnoreList;
}

}  // namespace

bool IgnoreListMatches(std::string_view list, std::string_view item) {
  const std::string trimmed = machine::TrimBlanks(item);
  return AnyEntry(list, [&](std::string_view entry) { return EntryEquals(entry, item, trimmed); });
}

bool IgnoreListMatchesPartial(std::string_view list, std::string_view item) {
  const std::string trimmed = machine::TrimBlanks(item);
  return AnyEntry(list, [&](std::string_view entry) {
    return EntryEquals(entry, item, trimmed) || EntryInsideFolder(entry, item);
  });
}

bool IsIgnored(const model::App& app, std::string_view item) {
  return IgnoreListMatches(app.definitions.strIgnoreList, item);
}

bool IsIgnoredPartial(const model::App& app, std::string_view item) {
  return IgnoreListMatchesPartial(app.definitions.strIgnoreList, item);
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
  if (ListOf(app) == list_before)
    ListOf(app) = std::move(list);
  return true;
}

void AddToIgnoreList(model::App& app, std::string_view item) {
  std::string line = machine::TrimBlanks(item);
  line += "\r\n";
  app.system.machine.files().AppendFile(ProgramFolderFile(app.system, kIgnoreListFile), line);
  LoadIgnoreList(app);
}

}  // namespace engine
