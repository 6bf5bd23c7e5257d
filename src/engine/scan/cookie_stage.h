#pragma once
// The tracking-cookie stage of a scan: every file directly in the user's cookie folder whose
// domain is blocked by BlockedCookies.dat becomes a removal target, a scan-log row and a
// threat-list row of its own, unless the ignore list holds its path.

#include <cstdint>
#include <string>
#include <string_view>

namespace model {
struct App;
}
namespace services {
struct System;
}

namespace engine {

// The cookie folder's files walked, counted into `files_walked` (the caller zeroes it). Does
// nothing when this machine has no cookie folder.
void ScanCookies(model::App& app, int32_t& files_walked);

// The walk over one folder's files, in name order (letter case ignored). It ends early on a stop
// request, or when a cookie is found while the scan buttons are enabled again (no scan runs).
void ScanCookieFolder(model::App& app, std::string_view folder, int32_t& files_walked);

// A special folder (by CSIDL number) without a trailing backslash; "" when this machine has none.
std::string GetSpecialFolderNoSlash(const services::System& system, int csidl);

}  // namespace engine
