#include "services/registry_related.h"

#include <vector>

#include "machine/machine.h"
#include "machine/text.h"
#include "services/registry_key.h"
#include "services/registry_roots.h"
#include "services/registry_values.h"
#include "services/system.h"

namespace services {

bool QueryValue(System& system, machine::RegHandle root, std::string_view key,
                std::string_view value_name, std::string& value_text) {
  value_text.clear();
  ScopedKey opened(system.machine.registry());
  if (opened.Open(root, key) != machine::kRegSuccess)
    return false;
  QueriedValue value;
  if (QueryValueEx(system, opened.get(), value_name, value) != machine::kRegSuccess)
    return false;
  if (const auto* text = std::get_if<std::string>(&value))
    value_text = *text;
  else if (const auto* number = std::get_if<int32_t>(&value))
    value_text = std::to_string(*number);
  return true;
}

int32_t QueryValueEx(System& system, machine::RegHandle key, std::string_view value_name,
                     QueriedValue& value) {
  machine::Registry& registry = system.machine.registry();
  value = std::string();
  uint32_t type = machine::kRegNone;
  uint32_t size = 0;
  if (registry.QueryValue(key, value_name, &type, nullptr, &size) != machine::kRegSuccess)
    return -1;
  if (type == machine::kRegSz || type == machine::kRegExpandSz) {
    std::vector<char> buffer(size);
    const int32_t status = registry.QueryValue(key, value_name, nullptr, buffer.data(), &size);
    if (status != machine::kRegSuccess) {
      value = std::monostate();
      return status;
    }
    value = size < 1 ? std::string() : std::string(buffer.data(), size - 1);
    return status;
  }
  if (type == machine::kRegDword) {
    char number[4] = {};
    size = sizeof number;
    const int32_t status = registry.QueryValue(key, value_name, nullptr, number, &size);
    if (status == machine::kRegSuccess)
      value = DwordFromData(std::string_view(number, sizeof number));
    return status;
  }
  return -1;
}

bool RegistryKeyExists(System& system, machine::RegHandle root, std::string_view key) {
  ScopedKey opened(system.machine.registry());
  return opened.Open(root, key) == machine::kRegSuccess;
}

bool RegistryValueExists(System& system, machine::RegHandle root, std::string_view key,
                         std::string_view value_name) {
  ScopedKey opened(system.machine.registry());
  uint32_t size = 0;
  return opened.Open(root, key) == machine::kRegSuccess &&
         system.machine.registry().QueryValue(opened.get(), value_name, nullptr, nullptr, &size) ==
             machine::kRegSuccess;
}

void SetRegistryValue(System& system, machine::RegHandle root, std::string_view key,
                      std::string_view value_name, std::string_view value) {
  ScopedKey opened(system.machine.registry());
  if (opened.Create(root, key) != machine::kRegSuccess)
    return;
  int32_t number = 0;
  if (ParseInt32(value, number)) {
    system.machine.registry().SetValue(opened.get(), value_name, machine::kRegDword,
                                       DwordData(number));
  } else {
    system.machine.registry().SetValue(opened.get(), value_name, machine::kRegSz,
                                       StringData(machine::TrimBlanks(value)));
  }
}

bool DeleteRegistryKey(System& system, machine::RegHandle root, std::string_view key) {
  if (machine::TrimBlanks(key).empty())
    return false;
  if (system.machine.registry().DeleteKeyTree(root, key) != machine::kRegSuccess)
    return false;
  if (system.quarantine_log) {
    system.quarantine_log->WriteEntry(std::to_string(root) + "\\" + std::string(key), "All Values");
  }
  return true;
}

bool DeleteRegistryValue(System& system, machine::RegHandle root, std::string_view key,
                         std::string_view value_name) {
  ScopedKey opened(system.machine.registry());
  if (opened.Open(root, key) != machine::kRegSuccess ||
      system.machine.registry().DeleteValue(opened.get(), value_name) != machine::kRegSuccess) {
    return false;
  }
  if (system.quarantine_log) {
    system.quarantine_log->WriteEntry(std::string(RootKeyName(root)) + "\\" + std::string(key),
                                      value_name);
  }
  return true;
}

}  // namespace services
