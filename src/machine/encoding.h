#pragma once
// Conversions between the program's 8-bit Windows-1252 text and the host's UTF-8 names.

#include <optional>
#include <string>
#include <string_view>

namespace machine {

// Every byte maps to one character (the five codes Windows-1252 leaves undefined map to the
// control characters of the same number, as the platform does).
std::string Windows1252ToUtf8(std::string_view text);

// Nothing when the text is not valid UTF-8 or holds a character Windows-1252 cannot show.
std::optional<std::string> Utf8ToWindows1252(std::string_view text);

// How host text shows on the Windows side: its Windows-1252 form when it has one, else its
// bytes as they are. The names of a folder's entries follow folder_names.h instead.
std::string HostTextToWindows(std::string_view host_text);

// The host name under which a Windows name is created.
inline std::string WindowsTextToHost(std::string_view windows_text) {
  return Windows1252ToUtf8(windows_text);
}

}  // namespace machine
