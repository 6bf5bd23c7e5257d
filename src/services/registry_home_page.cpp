#include "services/registry_home_page.h"

#include "machine/machine.h"
#include "machine/text.h"
#include "services/registry_key.h"
#include "services/registry_values.h"
#include "services/system.h"

namespace services {

void SetCurrentUserValue(System& system, std::string_view key_name, std::string_view value_name,
                         std::string_view value, int32_t value_type) {
  ScopedKey key(system.machine.registry());
  if (key.Open(machine::kHkeyCurrentUser, key_name) == machine::kRegSuccess)
    SetValueEx(system, key.get(), value_name, value_type, value);
}

int32_t SetValueEx(System& system, machine::RegHandle key, std::string_view value_name,
                   int32_t type, std::string_view value) {
  machine::Registry& registry = system.machine.registry();
  if (type == static_cast<int32_t>(machine::kRegSz))
    return registry.SetValue(key, value_name, machine::kRegSz, StringData(value));
  if (type == static_cast<int32_t>(machine::kRegDword)) {
    int32_t number = 0;
    if (!ParseInt32(value, number))
      return machine::kRegInvalidParameter;
    return registry.SetValue(key, value_name, machine::kRegDword, DwordData(number));
  }
  return machine::kRegSuccess;
}

RegistryRead ReadRegistryValue(System& system, machine::RegHandle root, std::string_view sub_key,
                               std::string_view value_name, std::string& data) {
  data.clear();
  ScopedKey key(system.machine.registry());
  uint32_t type = machine::kRegNone;
  std::string bytes;
  int32_t status = key.Open(root, sub_key);
  if (status == machine::kRegSuccess)
    status = system.machine.registry().GetValue(key.get(), value_name, type, bytes);
  if (status == machine::kRegNotFound)
    return RegistryRead::kAbsent;
  if (status != machine::kRegSuccess)
    return RegistryRead::kUnreadable;
  std::string_view text = bytes;
  switch (type) {
    case machine::kRegSz:
    case machine::kRegExpandSz:
      // As the system's own readers of string values do: the text ends at its first NUL, so
      // padding after the terminator is no part of it.
      data = text.substr(0, text.find('\0'));
      return RegistryRead::kRead;
    case machine::kRegDword:
      data = std::to_string(DwordFromData(bytes));
      return RegistryRead::kRead;
    default:
      return RegistryRead::kUnreadable;
  }
}

}  // namespace services
