#pragma once
// An index over the ignore list's in-memory text (entries each followed by "|") that answers
// its two tests without walking the list: every entry, and every folder an entry lies in, upper
// case. It holds folded copies of the text it was given; the keys point into them.

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace model {

class IgnoreIndex {
 public:
  IgnoreIndex() = default;
  // Every "|"-separated piece of a non-empty list is an entry, the one after the last "|" too
  // (empty when the list ends with "|").
  explicit IgnoreIndex(std::string_view list) { AddEntries(list); }

  // Adds the entries of text that follows the indexed list, which ends with "|" (or is empty).
  void AddEntries(std::string_view more);

  // Some entry equals the item, letter case ignored.
  bool Contains(std::string_view item) const;
  // Some entry lies inside the folder: it begins with the folder and "\" (with the folder alone
  // when the folder ends in "\"), letter case ignored.
  bool HasEntryInside(std::string_view folder) const;

 private:
  std::vector<std::unique_ptr<const std::string>> folded_;
  std::unordered_set<std::string_view> entries_;
  // Each entry's text before each of its "\".
  std::unordered_set<std::string_view> folders_;
};

}  // namespace model
