#pragma once
// Kernel-style executable paths ("\SYSTEMROOT\SYSTEM32\SMSS.EXE") made into normal ones.

#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace engine {

// When the path, trimmed and upper-cased, holds "SYSTEM32\", the result is the system folder,
// "\" and the upper-cased text after the last such "SYSTEM32\"; otherwise the path unchanged.
std::string ExpandSystem32Path(const model::App& app, std::string_view path);

}  // namespace engine
