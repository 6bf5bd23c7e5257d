#pragma once
// Special-folder numbers (CSIDL) and their names, as profiles and folder tokens use them.

#include <optional>
#include <span>
#include <string_view>

namespace machine {

inline constexpr int CSIDL_PROGRAMS = 2;
inline constexpr int CSIDL_PERSONAL = 5;
inline constexpr int CSIDL_FAVORITES = 6;
inline constexpr int CSIDL_STARTUP = 7;
inline constexpr int CSIDL_RECENT = 8;
inline constexpr int CSIDL_SENDTO = 9;
inline constexpr int CSIDL_BITBUCKET = 10;
inline constexpr int CSIDL_STARTMENU = 11;
inline constexpr int CSIDL_DESKTOPDIRECTORY = 16;
inline constexpr int CSIDL_FONTS = 20;
inline constexpr int CSIDL_TEMPLATES = 21;
inline constexpr int CSIDL_COMMON_STARTMENU = 22;
inline constexpr int CSIDL_COMMON_PROGRAMS = 23;
inline constexpr int CSIDL_COMMON_STARTUP = 24;
inline constexpr int CSIDL_COMMON_DESKTOPDIRECTORY = 25;
inline constexpr int CSIDL_APPDATA = 26;
inline constexpr int CSIDL_ALTSTARTUP = 29;
inline constexpr int CSIDL_COMMON_ALTSTARTUP = 30;
inline constexpr int CSIDL_COMMON_FAVORITES = 31;
inline constexpr int CSIDL_INTERNET_CACHE = 32;
inline constexpr int CSIDL_COOKIES = 33;
inline constexpr int CSIDL_HISTORY = 34;
inline constexpr int CSIDL_COMMON_APPDATA = 35;
inline constexpr int CSIDL_WINDOWS = 36;
inline constexpr int CSIDL_SYSTEM = 37;
inline constexpr int CSIDL_PROGRAM_FILES = 38;
inline constexpr int CSIDL_PROGRAM_FILES_COMMON = 43;
inline constexpr int CSIDL_COMMON_TEMPLATES = 45;
inline constexpr int CSIDL_COMMON_DOCUMENTS = 46;

struct CsidlInfo {
  int number;
  std::string_view name;  // "CSIDL_APPDATA"
  bool has_path;          // false for virtual folders such as the Recycle Bin
};

// Every special folder the program knows, in number order.
std::span<const CsidlInfo> KnownCsidls();
// The entry for a name (compared ignoring case) or a number; nothing when unknown.
std::optional<CsidlInfo> FindCsidl(std::string_view name);
std::optional<CsidlInfo> FindCsidl(int number);

}  // namespace machine
