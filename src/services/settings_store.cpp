#include "services/settings_store.h"

#include "machine/machine.h"
#include "machine/text.h"
#include "services/registry_key.h"
#include "services/registry_values.h"
#include "services/system.h"

namespace services {

namespace {

std::string SectionPath(std::string_view application, std::string_view section) {
  return std::string(kSettingsStoreKey) + "\\" + std::string(application) + "\\" +
         std::string(section);
}

bool NamesGiven(std::string_view application, std::string_view section, std::string_view key) {
  return !application.empty() && !section.empty() && !key.empty();
}

}  // namespace

std::string ReadSetting(System& system, std::string_view application, std::string_view section,
                        std::string_view key, std::string_view default_value) {
  if (!NamesGiven(application, section, key))
    return std::string(default_value);
  ScopedKey opened(system.machine.registry());
  uint32_t type = machine::kRegNone;
  std::string data;
  if (opened.Open(machine::kHkeyCurrentUser, SectionPath(application, section)) !=
          machine::kRegSuccess ||
      system.machine.registry().GetValue(opened.get(), key, type, data) != machine::kRegSuccess) {
    return std::string(default_value);
  }
  return ValueAsText(type, data);
}

std::string ReadSetting(System& system, std::string_view application, std::string_view section,
                        std::string_view key, int64_t default_value) {
  return ReadSetting(system, application, section, key, std::to_string(default_value));
}

void WriteSetting(System& system, std::string_view application, std::string_view section,
                  std::string_view key, std::string_view value) {
  if (!NamesGiven(application, section, key))
    return;
  ScopedKey opened(system.machine.registry());
  if (opened.Create(machine::kHkeyCurrentUser, SectionPath(application, section)) ==
      machine::kRegSuccess) {
    system.machine.registry().SetValue(opened.get(), key, machine::kRegSz, StringData(value));
  }
}

std::optional<int> TrySettingToInt(std::string_view text) {
  const std::string trimmed = machine::TrimBlanks(text);
  if (machine::EqualsIgnoreCase(trimmed, "True"))
    return -1;
  if (machine::EqualsIgnoreCase(trimmed, "False"))
    return 0;
  double number = 0;
  int16_t value = 0;
  if (machine::ParseNumber(trimmed, number) && machine::RoundHalfEvenToInt16(number, value))
    return value;
  return std::nullopt;
}

int SettingToInt(std::string_view text) {
  return TrySettingToInt(text).value_or(0);
}

std::optional<bool> TrySettingToBool(std::string_view text) {
  const std::string trimmed = machine::TrimBlanks(text);
  if (machine::EqualsIgnoreCase(trimmed, "True"))
    return true;
  if (machine::EqualsIgnoreCase(trimmed, "False"))
    return false;
  double number = 0;
  if (machine::ParseNumber(trimmed, number))
    return number != 0;
  return std::nullopt;
}

bool SettingToBool(std::string_view text) {
  return TrySettingToBool(text).value_or(false);
}

double SettingNumericValue(std::string_view text) {
  double number = 0;
  return machine::ParseNumber(text, number) ? number : 0;
}

}  // namespace services
