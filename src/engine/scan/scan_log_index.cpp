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
  const int row = FirstRowBeginningWith(key);
  if (row < 0)
    return false;
  if (row < log_.Count() && machine::StartsWithIgnoreCase(log_.Item(row).text, key))
    return true;
  // The row was changed in place: trust nothing indexed so far.
  Rebuild();
  return FirstRowBeginningWith(key) >= 0;
}

int ScanLogIndex::FirstRowBeginningWith(std::string_view folded) const {
  const auto it = rows_.lower_bound(folded);
  return it != rows_.end() && it->first.starts_with(folded) ? it->second : -1;
}

void ScanLogIndex::Catch() {
  const int count = log_.Count();
  if (count < indexed_ || (indexed_ > 0 && log_.Item(indexed_ - 1).text != last_text_)) {
    rows_.clear();
    indexed_ = 0;
  }
  if (indexed_ == count)
    return;
  while (indexed_ < count)
    IndexRow(indexed_++);
  last_text_ = log_.Item(indexed_ - 1).text;
}

void ScanLogIndex::Rebuild() {
  rows_.clear();
  indexed_ = 0;
  Catch();
}

void ScanLogIndex::IndexRow(int position) {
  std::string folded = machine::ToUpper(log_.Item(position).text);
  if (folded.find(FoldedSuffix()) != std::string::npos)
    rows_.emplace(std::move(folded), position);
}

}  // namespace engine
