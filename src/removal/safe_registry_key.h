#pragma once
// The guard for registry deletions. A definition line with an empty key, a name the registry
// cannot hold, or one that names a key the system cannot do without (or a key above one) would
// delete far more than a threat: such a key is refused. A value is refused only where its
// names are or where the system cannot start without it (the shell Winlogon starts); deleting
// a value inside the Run key is exactly what a removal is for.

#include <string_view>

#include "machine/registry.h"

namespace removal {

// True when root\key may be deleted as a whole: a known root, a key path with at least one
// name and no NUL, and neither one of the protected keys nor a key above one. Letter case,
// blanks around the path and stray backslashes make no difference. Under HKEY_USERS the first
// name is the user, so a whole user is refused and the rest of the path is checked like any
// other root's.
bool IsDeletableRegistryKey(machine::RegHandle root, std::string_view key);

// True when the value `value_name` of root\key may be deleted: a known root, a key path with at
// least one name, no NUL in the path or the name, and not one of the protected values (letter
// case and blanks around the names make no difference).
bool IsDeletableRegistryValue(machine::RegHandle root, std::string_view key,
                              std::string_view value_name);

}  // namespace removal
