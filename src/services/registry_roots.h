#pragma once
// The one-digit root-key codes of the registry definition lines and the roots' names.

#include <array>
#include <string_view>

#include "machine/registry.h"

namespace services {

struct System;

// Code "N" stands for kRootKeyCodes[N]. Code "4" is HKEY_CURRENT_CONFIG: the table skips
// HKEY_PERFORMANCE_DATA.
inline constexpr std::array<machine::RegHandle, 6> kRootKeyCodes = {
    machine::kHkeyClassesRoot, machine::kHkeyCurrentUser,   machine::kHkeyLocalMachine,
    machine::kHkeyUsers,       machine::kHkeyCurrentConfig, machine::kHkeyDynData,
};

// The root handle of a code that maps to none.
inline constexpr machine::RegHandle kNoRootKey = -1;

// "HKEY_CLASSES_ROOT" ... for a root handle; empty for anything else.
using machine::RootKeyName;

// Maps a code to its root handle and sets system.strRootKeyName to the root's name. Only a whole
// decimal number from 0 to 5 maps, blanks around it allowed; anything else (a letter, "", a
// sign, a fraction, 6) gives kNoRootKey and an empty name.
machine::RegHandle RootKeyFromCode(System& system, std::string_view code);

}  // namespace services
