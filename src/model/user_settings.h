#pragma once
// The program's own per-user settings: the settings store under the product's name (the start
// record alone lives under another name).

#include <string>
#include <string_view>

namespace model {

struct App;

std::string ReadUserSetting(App& app, std::string_view section, std::string_view key,
                            std::string_view default_value);
void WriteUserSetting(App& app, std::string_view section, std::string_view key,
                      std::string_view value);

// "Yes" while the program was left in the tray, read at the next start.
inline constexpr std::string_view kMinimizedKey = "Minimized";

// The run state an outside process reads once the program is closed: "RESTART" = "False", then
// "STATUS" = "STOPPED".
void SaveStoppedRunState(App& app);

}  // namespace model
