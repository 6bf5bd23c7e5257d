#pragma once
// The web domain a cookie file belongs to: the site named in the file's name ("user@site[1].txt")
// looked up in the file's own items, where the host and path of the cookie are stored.

#include <string>
#include <string_view>

namespace services {
struct System;
}

namespace engine {

// What GetCookieDomain gives when the file names no domain; it matches no blocked entry.
inline constexpr std::string_view kNoCookieDomain = "False";

// The site part of a cookie file's name: the text after the first "@", up to a "(" (or, when
// there is none, a "[") or else up to the last "."; "" without "@", or when none of these ends it.
std::string GetCookieSiteFromFileName(std::string_view name);

// The host of the first item of the file that holds the site (case-sensitive): the item from the
// site on, up to its first "/". Items end at a comma or a line end. kNoCookieDomain when the
// file's name gives no site, the file is not there as a normal file, or no item holds the site
// followed somewhere by "/". Only the file's own name is read for the site, so an "@" in the
// folders above it changes nothing. Yields after each item that does not settle the domain.
std::string GetCookieDomain(const services::System& system, std::string_view path);

// The domain as the blocked list is compared with: its last "."-separated label dropped (when it
// has a "."), then a leading "www." (any case) cut.
std::string ReduceCookieDomain(std::string_view domain);

}  // namespace engine
