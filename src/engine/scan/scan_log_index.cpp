#include "engine/scan/scan_log_index.h"

#include "forms/list_view.h"
#include "machine/text.h"
#include "model/result_rows.h"

namespace engine {

namespace {

std::string FoldedSuffix() {
  return machine::ToUpper(model::kFoundSuffix);
}

}  // namespace

bool ScanLogIndex::IsThreatListed(std::string_view threat_name) {
  Catch();
  const std::string key = machine::ToUpper(threat_name) + FoldedSuffix();
  auto it = prefixes_.find(key);
  if (it == prefixes_.end())
    return false;
  if (it->second < log_.Count() && machine::StartsWithIgnoreCase(log_.Item(it->second).text, key)) {
    return true;
  }
  // The row was changed in place: trust nothing indexed so far.
  Rebuild();
  return prefixes_.find(key) != prefixes_.end();
}

void ScanLogIndex::Catch() {
  const int count = log_.Count();
  if (count < indexed_ || (indexed_ > 0 && log_.Item(indexed_ - 1).text != last_text_)) {
    prefixes_.clear();
    indexed_ = 0;
  }
  if (indexed_ == count)
    return;
  while (indexed_ < count)
    IndexRow(indexed_++);
  last_text_ = log_.Item(indexed_ - 1).text;
}

void ScanLogIndex::Rebuild() {
  prefixes_.clear();
  indexed_ = 0;
  Catch();
}

void ScanLogIndex::IndexRow(int position) {
  const std::string folded = machine::ToUpper(log_.Item(position).text);
  const std::string suffix = FoldedSuffix();
  for (size_t at = folded.find(suffix); at != std::string::npos; at = folded.find(suffix, at + 1)) {
    prefixes_.emplace(folded.substr(0, at + suffix.size()), position);
  }
}

}  // namespace engine
