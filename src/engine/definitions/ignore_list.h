#pragma once
// The ignore list: the user's exclusions, kept in ENoSignature.txt in the program folder (plain
// text, one entry per line, only ever appended to) and in memory as `strIgnoreList`, every
// non-blank line followed by "|".

#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace engine {

// Appends the item, trimmed of blanks, as a line of its own and reloads the list. A blank item adds
// nothing.
void AddToIgnoreList(model::App& app, std::string_view item);

// Rebuilds `strIgnoreList` from the file, yielding after each line read. A file that nothing
// but our own additions changed since the last load is read from where that load ended, and its
// new lines are added; one that anybody else touched is read whole. The new list is built aside and
// put in place at the end, so a scan running meanwhile tests the previous list whole. An absent
// file gives the empty list. False when the file is there but cannot be read; the previous list
// then stays.
bool LoadIgnoreList(model::App& app);

// True when the item, as given or trimmed of blanks, equals an entry (letter case ignored).
bool IsIgnored(const model::App& app, std::string_view item);
// As IsIgnored, and also true when an entry lies inside the item's folder: the entry begins
// with the item followed by "\" (letter case ignored).
bool IsIgnoredPartial(const model::App& app, std::string_view item);

// The two tests over a list in its in-memory form, indexing it first.
bool IgnoreListMatches(std::string_view list, std::string_view item);
bool IgnoreListMatchesPartial(std::string_view list, std::string_view item);

}  // namespace engine
