#include "services/registry_roots.h"

#include "machine/text.h"
#include "services/system.h"

namespace services {

machine::RegHandle RootKeyFromCode(System& system, std::string_view code) {
  system.strRootKeyName.clear();
  const std::string digits = machine::TrimBlanks(code);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
    return kNoRootKey;
  const size_t first = digits.find_first_not_of('0');
  const std::string_view significant =
      first == std::string::npos ? "0" : std::string_view(digits).substr(first);
  if (significant.size() != 1 || significant[0] > '5')
    return kNoRootKey;
  const machine::RegHandle root = kRootKeyCodes[static_cast<size_t>(significant[0] - '0')];
  system.strRootKeyName = RootKeyName(root);
  return root;
}

}  // namespace services
