#pragma once
// Where Live Update finds its server: the profile's address, unless the environment names
// another one for this run.

#include <string>

#include "machine/profile.h"

namespace machine {

// The environment variable that overrides the profile's update server for one run (tests,
// trying the program against a local server); a base URL such as "http://127.0.0.1:8080".
inline constexpr const char* kUpdateServerVariable = "HEARTHGUARD_UPDATE_SERVER";

// The update server's base URL without a trailing "/": $HEARTHGUARD_UPDATE_SERVER when it holds
// an http:// or https:// address, else the profile's.
std::string UpdateServerUrl(const Profile& profile);

}  // namespace machine
