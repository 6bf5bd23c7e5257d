#include "removal/quarantine_log.h"

#include "machine/date_time.h"
#include "model/app.h"
#include "removal/quarantine_store.h"

namespace removal {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string Stamp(const model::App& app) {
  return machine::FormatGeneralDate(app.machine.clock().Now());
}

}  // namespace

std::string FileEntryText(std::string_view stamp, std::string_view stored_name,
                          std::string_view path) {
  std::string text(stamp);
  text.append(" - File: ").append(stored_name).append(kLineEnd);
  text.append(" - Location: ").append(path).append(kLineEnd);
  text.append(kLineEnd).append(kLineEnd);
  return text;
}

std::string RegistryEntryText(std::string_view stamp, std::string_view key_text,
                              std::string_view value_text) {
  std::string text(stamp);
  text.append(" - Key: ").append(key_text).append(kLineEnd);
  text.append("Value: ").append(value_text).append(kLineEnd);
  text.append(kLineEnd).append(kLineEnd);
  return text;
}

LogEntryText FileEntryFor(model::App& app, std::string_view path) {
  return [&app, path](std::string_view stored_name) {
    return FileEntryText(Stamp(app), stored_name, path);
  };
}

bool LogQuarantinedFile(model::App& app, std::string_view path, std::string_view stored_name) {
  return AppendToQuarantineLog(app.system, FileEntryText(Stamp(app), stored_name, path));
}

void LogQuarantinedRegistryItem(model::App& app, std::string_view key_text,
                                std::string_view value_text) {
  if (!app.removal.bQuarantinePass)
    return;
  AppendToQuarantineLog(app.system, RegistryEntryText(Stamp(app), key_text, value_text));
}

}  // namespace removal
