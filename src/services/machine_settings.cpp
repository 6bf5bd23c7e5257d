#include "services/machine_settings.h"

#include <vector>

#include "machine/machine.h"
#include "machine/text.h"
#include "services/registry_key.h"
#include "services/registry_values.h"
#include "services/settings_store.h"
#include "services/system.h"

namespace services {

namespace {

using machine::TrimBlanks;

constexpr std::string_view kPermissionText =
    " requires read/write access to the system registry and hard drive in order to run "
    "properly.  This user account does not have the proper permissions set.  As a result some "
    "or all of your settings may not be properly saved.  Please contact your system "
    "administrator or change the permission settings for this account.\r\n\r\n"
    "If you would like to prevent this error message from being displayed again, please press "
    "'Ignore'.";

// Base + offset, wrapping as the 32-bit error numbers do.
int32_t ErrorNumber(uint32_t offset) {
  return static_cast<int32_t>(static_cast<uint32_t>(kSettingsErrorBase) + offset);
}

std::string SectionPath(System& system, std::string_view application, std::string_view section) {
  return "SOFTWARE\\" + TrimBlanks(system.machine.version().company_name) + "\\" +
         TrimBlanks(application) + "\\" + TrimBlanks(section);
}

int32_t TrySave(System& system, const std::string& path, std::string_view key,
                std::string_view value) {
  ScopedKey opened(system.machine.registry());
  if (const int32_t status = opened.Create(machine::kHkeyLocalMachine, path);
      status != machine::kRegSuccess) {
    return status;
  }
  return system.machine.registry().SetValue(opened.get(), TrimBlanks(key), machine::kRegSz,
                                            StringData(value));
}

}  // namespace

void SaveSettingHKLM(System& system, std::string_view application, std::string_view section,
                     std::string_view key, std::string_view value) {
  const std::string path = SectionPath(system, application, section);
  const std::string& product = system.machine.version().product_name;
  // Refusals (no rights, bad names) stay silent; only a failing hive is the user's business.
  while (TrySave(system, path, key, value) == machine::kRegIoFailed) {
    if (ReadSetting(system, product, "Settings", "IgnorePermissionDeniedError", "0") == "1" ||
        !system.prompter) {
      return;
    }
    const int answer =
        system.prompter->MsgBox(product + std::string(kPermissionText), vbAbortRetryIgnore, "");
    if (answer == vbIgnore)
      WriteSetting(system, product, "Settings", "IgnorePermissionDeniedError", "1");
    if (answer != vbRetry)
      return;
  }
}

std::string GetSettingHKLM(System& system, std::string_view application, std::string_view section,
                           std::string_view key, std::string_view default_value) {
  if (TrimBlanks(application).empty())
    throw SettingsError(kSettingsErrorBase + 1000, "AppName may not be empty");
  if (TrimBlanks(section).empty())
    throw SettingsError(kSettingsErrorBase + 1001, "Section may not be empty");
  const std::string name = TrimBlanks(key);
  if (name.empty())
    throw SettingsError(kSettingsErrorBase + 1002, "Key may not be empty");

  machine::Registry& registry = system.machine.registry();
  ScopedKey opened(registry);
  const int32_t status =
      opened.Open(machine::kHkeyLocalMachine, SectionPath(system, application, section));
  if (status == machine::kRegNotFound)
    return std::string(default_value);
  if (status != machine::kRegSuccess)
    throw SettingsError(ErrorNumber(2000 + static_cast<uint32_t>(status)),
                        "Could not open registry section");

  uint32_t type = machine::kRegNone;
  uint32_t size = 0;
  if (registry.QueryValue(opened.get(), name, &type, nullptr, &size) != machine::kRegSuccess)
    return std::string(default_value);
  if (type != machine::kRegSz) {
    throw SettingsError(ErrorNumber(2000 + type), "Registry data not a string");
  }
  if (size == 0)
    return {};
  std::vector<char> buffer(size);
  if (registry.QueryValue(opened.get(), name, nullptr, buffer.data(), &size) !=
      machine::kRegSuccess) {
    return std::string(default_value);
  }
  return size == 0 ? std::string() : std::string(buffer.data(), size - 1);
}

}  // namespace services
