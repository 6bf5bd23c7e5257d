#pragma once
// The scan log's "already listed" test (some row's text begins with the threat name and
// " - Found", letter case ignored) answered from an index instead of a search of every row.
// A stage with many finds would otherwise search a log that grows with each of them.
//
// Rows added at the end by anyone are taken into the index at the next question. A log that
// was emptied or refilled since (fewer rows, or another text in the last row seen) is indexed
// afresh, and a row the index points at is read again before it is believed.

#include <map>
#include <string>
#include <string_view>

namespace forms {
class ListView;
}

namespace engine {

class ScanLogIndex {
 public:
  explicit ScanLogIndex(const forms::ListView& log) : log_(log) {}

  // The same answer as model::IsThreatListed on the log.
  bool IsThreatListed(std::string_view threat_name);

 private:
  void Catch();
  void Rebuild();
  void IndexRow(int position);
  // A row whose upper-cased text, as indexed, begins with `folded`; -1 when none does.
  int FirstRowBeginningWith(std::string_view folded) const;

  const forms::ListView& log_;
  // The upper-cased text of each row that holds " - FOUND", with its first row. Sorted, the rows
  // that begin with a text follow one another from the first text not below it; one copy of
  // each row keeps the index as large as the log.
  std::map<std::string, int, std::less<>> rows_;
  int indexed_ = 0;
  std::string last_text_;
};

}  // namespace engine
