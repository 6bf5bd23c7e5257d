#pragma once
// The rows of the result lists as records. The detections live as list-view rows on the main
// window (and one list on the delete-failed window); these typed views read a row as a record
// and add a record as a row, so no caller indexes sub-items by number.

#include <string>
#include <string_view>

#include "forms/list_view.h"

namespace model {

// The small icon of a scan-log or threat-list row.
enum class ThreatIconKind : int {
  kNone = 0,
  kCookie = 1,
  kRegistry = 2,
  kFile = 3,  // a file or a running program
  kFolder = 4,
  kExcluded = 5,  // scan log only
};

// lvwSpywareFound: one message per row.
struct ScanLogRow {
  std::string message;
  ThreatIconKind icon = ThreatIconKind::kNone;

  static ScanLogRow From(const forms::ListItem& item);
  forms::ListItem ToItem() const;
};

// lvwPicRemoveListOfSpywareFoundAndToBeRemoved: one row per threat, with a check box.
struct ThreatRow {
  std::string name;      // "Spyware/Adware Found"
  std::string location;  // "Location": the first path, key or cookie file found
  std::string type;      // "Type": the definition's extra text, "" when none
  ThreatIconKind icon = ThreatIconKind::kNone;
  bool checked = false;

  static ThreatRow From(const forms::ListItem& item);
  forms::ListItem ToItem() const;
};

// lvwFilesToBeDeleted: a file or folder to remove.
struct FileTargetRow {
  std::string path;
  std::string threat_name;
  bool checked = false;

  static FileTargetRow From(const forms::ListItem& item);
  forms::ListItem ToItem() const;
};

// lvwRegistryToBeDeleted: a registry key or value to remove.
struct RegistryTargetRow {
  // "Main Key": the root handle the definition's root code maps to, as signed decimal text.
  std::string main_key;
  std::string key_path;     // "KeyValue"
  std::string value_name;   // "Value": "" for a whole key
  std::string threat_name;  // "SpywareName"
  bool checked = false;

  static RegistryTargetRow From(const forms::ListItem& item);
  forms::ListItem ToItem() const;
};

// lvwCookiesToDelete: a cookie file to remove.
struct CookieTargetRow {
  std::string cookie_path;      // "Cookie Name"
  std::string cookie_location;  // "CookieLocation": left empty by the cookie stage
  bool checked = false;

  static CookieTargetRow From(const forms::ListItem& item);
  forms::ListItem ToItem() const;
};

// lvwHardDrives: a drive letter, checked when it is chosen for scanning.
struct DriveRow {
  std::string drive;
  bool checked = false;

  static DriveRow From(const forms::ListItem& item);
  forms::ListItem ToItem() const;
};

// frmDelete.lstProblem: a checked file that still exists after a removal.
struct UndeletedFileRow {
  std::string path;

  static UndeletedFileRow From(const forms::ListItem& item);
  forms::ListItem ToItem() const;
};

// A list view seen as rows of one record type.
template <class Row>
class RowView {
 public:
  explicit RowView(forms::ListView& list) : list_(list) {}

  int Count() const { return list_.Count(); }
  // Throws std::out_of_range for a bad position.
  Row operator[](int position) const { return Row::From(list_.Item(position)); }
  // Adds at the end; returns the row's position.
  int Add(const Row& row) { return list_.AddItem(row.ToItem()); }
  bool SetChecked(int position, bool checked) { return list_.SetChecked(position, checked); }
  bool Remove(int position) { return list_.RemoveItem(position); }
  void Clear() { list_.Clear(); }
  forms::ListView& list() const { return list_; }

 private:
  forms::ListView& list_;
};

// The scan-log text of an item the ignore list excludes: this prefix and the item.
inline constexpr std::string_view kExcludedPrefix = "EXCLUDED: ";

// The scan-log text that says a threat was found: the threat name and " - Found".
inline constexpr std::string_view kFoundSuffix = " - Found";
std::string FoundMessage(std::string_view threat_name);

// True when the scan log already lists the threat: some row's text begins with the threat name
// and " - Found" (letter case ignored), so the threat has its threat-list row already.
bool IsThreatListed(const forms::ListView& scan_log, std::string_view threat_name);

}  // namespace model
