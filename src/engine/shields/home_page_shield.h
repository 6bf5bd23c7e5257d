#pragma once
// The home-page shield: every tick of the main window's tmrCheckHomePage reads Internet
// Explorer's start page from the user hive and compares it with the protected page kept in the
// settings; on a change it asks in the home-page alert, or restores silently when the options
// say so. Every third tick also runs the memory shield.

#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace engine {

inline constexpr std::string_view kStartPageKey = "Software\\Microsoft\\Internet Explorer\\Main";
inline constexpr std::string_view kStartPageValue = "Start Page";
// What the start page counts as when it is absent or empty.
inline constexpr std::string_view kBlankStartPage = "about:blank";

// The question of the home-page alert.
std::string HomePageChangedText(std::string_view product_name, std::string_view saved_page,
                                std::string_view current_page);

// One tick. Does nothing while another shield tick, a scan, a removal or a Live Update runs;
// compares and asks nothing when the start page is there but cannot be read.
void tmrCheckHomePage_Timer(model::App& app);

// Saves the protected page as "Homepage" again and writes it back as the start page, creating
// the start page's key when it is missing.
void RestoreHomePage(model::App& app);
// Makes the start page read at the last tick the protected page.
void AcceptNewHomePage(model::App& app);
// Before any tick has read the pages, both do nothing.

// Puts the tick into the main window's tmrCheckHomePage.
void InstallHomePageShield(model::App& app);

}  // namespace engine
