#pragma once
// How the running-program stages read a decoded line of ExeDefinition.dat. The lines have the
// outer form of the file and folder lines, but these stages split them their own way, at "="
// before "|".

#include <optional>
#include <string_view>

namespace engine {

// The executable's name field: the text before the first "=", or the whole line without one.
std::string_view ExeNameField(std::string_view decoded_line);

// The folder text of a line that holds "=": the rest is the text between the first and the
// second "=" (or to the end); its second "|"-field when it holds "|", otherwise all of it.
// Nothing for a line without "=".
std::optional<std::string_view> ExeFolderField(std::string_view decoded_line);

}  // namespace engine
