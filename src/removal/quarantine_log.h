#pragma once
// QuarantineLog.txt in the quarantine folder: one entry of four lines (two of text, two empty,
// CR LF line ends) per item moved into the quarantine and per registry item deleted. It is only
// ever appended to, never through a link; an item whose entry cannot be written is not moved,
// and a registry entry that cannot be written is dropped while the removal goes on.

#include <string>
#include <string_view>

#include "removal/quarantine_store.h"
#include "services/system.h"

namespace model {
struct App;
}

namespace removal {

// The entries' text; `stamp` is the general date-and-time text of the moment.
std::string FileEntryText(std::string_view stamp, std::string_view stored_name,
                          std::string_view path);
std::string RegistryEntryText(std::string_view stamp, std::string_view key_text,
                              std::string_view value_text);

// The entry of an item moved into the quarantine from `path`, given the name it is stored
// under: what the store writes for every item it moves, in whichever removal pass.
LogEntryText FileEntryFor(model::App& app, std::string_view path);
// Records an item moved into the quarantine without a store at hand. False when the entry
// could not be written.
bool LogQuarantinedFile(model::App& app, std::string_view path, std::string_view stored_name);

// Records a registry deletion ("<root>\<key>" and the value name, or "All Values" for a whole
// key). Writes only during the first removal pass (bQuarantinePass): the same deletions run at
// other times (the second pass, the run-at-start-up option) and are not quarantine events.
void LogQuarantinedRegistryItem(model::App& app, std::string_view key_text,
                                std::string_view value_text);

// The writer the services' registry deletions report to (System::quarantine_log).
class QuarantineLogWriter final : public services::QuarantineLogWriter {
 public:
  explicit QuarantineLogWriter(model::App& app) : app_(app) {}
  void WriteEntry(std::string_view key_text, std::string_view value_text) override {
    LogQuarantinedRegistryItem(app_, key_text, value_text);
  }

 private:
  model::App& app_;
};

}  // namespace removal
