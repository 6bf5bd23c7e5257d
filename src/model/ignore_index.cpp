#include "model/ignore_index.h"

#include <algorithm>

#include "machine/text.h"

namespace model {

void IgnoreIndex::AddEntries(std::string_view more) {
  if (more.empty())
    return;
  folded_.push_back(std::make_unique<const std::string>(machine::ToUpper(more)));
  std::string_view rest = *folded_.back();
  entries_.reserve(entries_.size() +
                   static_cast<size_t>(std::count(rest.begin(), rest.end(), '|')) + 1);
  for (;;) {
    const size_t bar = rest.find('|');
    const std::string_view entry = rest.substr(0, bar);
    entries_.insert(entry);
    for (size_t slash = entry.find('\\'); slash != std::string_view::npos;
         slash = entry.find('\\', slash + 1)) {
      folders_.insert(entry.substr(0, slash));
    }
    if (bar == std::string_view::npos)
      break;
    rest.remove_prefix(bar + 1);
  }
}

bool IgnoreIndex::Contains(std::string_view item) const {
  return !entries_.empty() && entries_.count(machine::ToUpper(item)) != 0;
}

bool IgnoreIndex::HasEntryInside(std::string_view folder) const {
  if (folder.empty() || folders_.empty())
    return false;
  // A folder written with its closing "\" is the folder without it.
  if (folder.back() == '\\')
    folder.remove_suffix(1);
  return folders_.count(machine::ToUpper(folder)) != 0;
}

}  // namespace model
