#pragma once
// The Run value that starts the program with Windows: under HKEY_LOCAL_MACHINE, named after the
// executable without its extension, holding the executable's Windows path in quotes (the
// program folder usually has a blank in it).

#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace ui {

inline constexpr std::string_view kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string RunValueName(const model::App& app);
// "\"C:\Program Files\<product>\<executable>\"".
std::string RunValueData(const model::App& app);

// Failures (no right to write the machine hive) are not reported.
void WriteRunValue(model::App& app);
void DeleteRunValue(model::App& app);

}  // namespace ui
