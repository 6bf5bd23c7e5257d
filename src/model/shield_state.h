#pragma once
// What the home-page and memory shields keep between ticks.

#include <cstdint>
#include <string>

namespace model {

struct ShieldState {
  // Set when the memory alert is answered; the memory shield waits on it.
  bool bAlertAnswered = false;
  // Set while a tick of either shield runs (it may wait in an alert or a message box for
  // minutes); no other shield tick, scan or Live Update starts meanwhile.
  bool bShieldTickRunning = false;
  // Home-page ticks since the memory shield last ran from one (it runs on every third).
  int16_t intHomePageTicks = 0;
  // The start page as read at the last home-page tick ("about:blank" when unreadable).
  std::string strCurrentHomePage;
  // The protected start page, read from the settings at each tick.
  std::string strSavedHomePage;
};

}  // namespace model
