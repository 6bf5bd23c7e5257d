#pragma once
// The scan log's "already listed" test (some row's text begins with the threat name and
// " - Found", letter case ignored) answered from an index instead of a search of every row.
// A stage with many finds would otherwise search a log that grows with each of them.
//
// Rows added at the end by anyone are taken into the index at the next question. A log that
// was emptied or refilled since (fewer rows, or another text in the last row seen) is indexed
// afresh, and a row the index points at is read again before it is believed.

#include <string>
#include <string_view>
#include <unordered_map>

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

  const forms::ListView& log_;
  // Every upper-cased prefix of a row text that ends in " - FOUND", with its first row.
  std::unordered_map<std::string, int> prefixes_;
  int indexed_ = 0;
  std::string last_text_;
};

}  // namespace engine
