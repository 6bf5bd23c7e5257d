#include "model/result_rows.h"

namespace model {

namespace {

forms::ListItem MakeItem(std::string text, std::initializer_list<std::string> sub_items,
                         bool checked = false, ThreatIconKind icon = ThreatIconKind::kNone) {
  forms::ListItem item;
  item.text = std::move(text);
  item.sub_items = sub_items;
  item.checked = checked;
  item.small_icon = static_cast<int>(icon);
  return item;
}

ThreatIconKind IconOf(const forms::ListItem& item) {
  return static_cast<ThreatIconKind>(item.small_icon);
}

}  // namespace

ScanLogRow ScanLogRow::From(const forms::ListItem& item) {
  return {item.text, IconOf(item)};
}
forms::ListItem ScanLogRow::ToItem() const {
  return MakeItem(message, {}, false, icon);
}

ThreatRow ThreatRow::From(const forms::ListItem& item) {
  return {item.text, item.SubItem(1), item.SubItem(2), IconOf(item), item.checked};
}
forms::ListItem ThreatRow::ToItem() const {
  return MakeItem(name, {location, type}, checked, icon);
}

FileTargetRow FileTargetRow::From(const forms::ListItem& item) {
  return {item.text, item.SubItem(1), item.checked};
}
forms::ListItem FileTargetRow::ToItem() const {
  return MakeItem(path, {threat_name}, checked);
}

RegistryTargetRow RegistryTargetRow::From(const forms::ListItem& item) {
  return {item.text, item.SubItem(1), item.SubItem(2), item.SubItem(3), item.checked};
}
forms::ListItem RegistryTargetRow::ToItem() const {
  return MakeItem(main_key, {key_path, value_name, threat_name}, checked);
}

CookieTargetRow CookieTargetRow::From(const forms::ListItem& item) {
  return {item.text, item.SubItem(1), item.checked};
}
forms::ListItem CookieTargetRow::ToItem() const {
  return MakeItem(cookie_path, {cookie_location}, checked);
}

DriveRow DriveRow::From(const forms::ListItem& item) {
  return {item.text, item.checked};
}
forms::ListItem DriveRow::ToItem() const {
  return MakeItem(drive, {}, checked);
}

UndeletedFileRow UndeletedFileRow::From(const forms::ListItem& item) {
  return {item.text};
}
forms::ListItem UndeletedFileRow::ToItem() const {
  return MakeItem(path, {});
}

std::string FoundMessage(std::string_view threat_name) {
  std::string message(threat_name);
  message += kFoundSuffix;
  return message;
}

bool IsThreatListed(const forms::ListView& scan_log, std::string_view threat_name) {
  return scan_log.FindItem(FoundMessage(threat_name)) >= 0;
}

}  // namespace model
