#include "machine/csidl.h"

#include <array>

#include "machine/text.h"

namespace machine {

namespace {

constexpr std::array<CsidlInfo, 29> kCsidls = {{
    {CSIDL_PROGRAMS, "CSIDL_PROGRAMS", true},
    {CSIDL_PERSONAL, "CSIDL_PERSONAL", true},
    {CSIDL_FAVORITES, "CSIDL_FAVORITES", true},
    {CSIDL_STARTUP, "CSIDL_STARTUP", true},
    {CSIDL_RECENT, "CSIDL_RECENT", true},
    {CSIDL_SENDTO, "CSIDL_SENDTO", true},
    {CSIDL_BITBUCKET, "CSIDL_BITBUCKET", false},
    {CSIDL_STARTMENU, "CSIDL_STARTMENU", true},
    {CSIDL_DESKTOPDIRECTORY, "CSIDL_DESKTOPDIRECTORY", true},
    {CSIDL_FONTS, "CSIDL_FONTS", true},
    {CSIDL_TEMPLATES, "CSIDL_TEMPLATES", true},
    {CSIDL_COMMON_STARTMENU, "CSIDL_COMMON_STARTMENU", true},
    {CSIDL_COMMON_PROGRAMS, "CSIDL_COMMON_PROGRAMS", true},
    {CSIDL_COMMON_STARTUP, "CSIDL_COMMON_STARTUP", true},
    {CSIDL_COMMON_DESKTOPDIRECTORY, "CSIDL_COMMON_DESKTOPDIRECTORY", true},
    {CSIDL_APPDATA, "CSIDL_APPDATA", true},
    {CSIDL_ALTSTARTUP, "CSIDL_ALTSTARTUP", true},
    {CSIDL_COMMON_ALTSTARTUP, "CSIDL_COMMON_ALTSTARTUP", true},
    {CSIDL_COMMON_FAVORITES, "CSIDL_COMMON_FAVORITES", true},
    {CSIDL_INTERNET_CACHE, "CSIDL_INTERNET_CACHE", true},
    {CSIDL_COOKIES, "CSIDL_COOKIES", true},
    {CSIDL_HISTORY, "CSIDL_HISTORY", true},
    {CSIDL_COMMON_APPDATA, "CSIDL_COMMON_APPDATA", true},
    {CSIDL_WINDOWS, "CSIDL_WINDOWS", true},
    {CSIDL_SYSTEM, "CSIDL_SYSTEM", true},
    {CSIDL_PROGRAM_FILES, "CSIDL_PROGRAM_FILES", true},
    {CSIDL_PROGRAM_FILES_COMMON, "CSIDL_PROGRAM_FILES_COMMON", true},
    {CSIDL_COMMON_TEMPLATES, "CSIDL_COMMON_TEMPLATES", true},
    {CSIDL_COMMON_DOCUMENTS, "CSIDL_COMMON_DOCUMENTS", true},
}};

}  // namespace

std::span<const CsidlInfo> KnownCsidls() {
  return kCsidls;
}

std::optional<CsidlInfo> FindCsidl(std::string_view name) {
  for (const CsidlInfo& info : kCsidls) {
    if (EqualsIgnoreCase(info.name, name))
      return info;
  }
  return std::nullopt;
}

std::optional<CsidlInfo> FindCsidl(int number) {
  for (const CsidlInfo& info : kCsidls) {
    if (info.number == number)
      return info;
  }
  return std::nullopt;
}

}  // namespace machine
