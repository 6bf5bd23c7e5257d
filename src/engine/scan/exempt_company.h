#pragma once
// The one company whose programs and files the file and running-program checks leave alone.

#include <string_view>

namespace engine {

// True for "Microsoft Corporation" in any letter case, blanks around it ignored.
bool IsExemptCompany(std::string_view company_name);

}  // namespace engine
