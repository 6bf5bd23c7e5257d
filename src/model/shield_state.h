#pragma once
// What the home-page and memory shields keep between ticks.

#include <cstdint>
#include <string>

namespace model {

// The running program a memory alert asks about, as the shield found it. Each alert gets a
// serial of its own, so an answer is never taken for another alert's.
struct MemoryAlertSubject {
  uint64_t serial = 0;
  uint32_t process_id = 0;
  // The executable's path as the stage compared it (upper case), checked again before ending.
  std::string path;
};

struct ShieldState {
  // Set when the memory alert is answered; the memory shield waits on it.
  bool bAlertAnswered = false;
  // Set while a tick of either shield runs (it may wait in an alert or a message box for
  // minutes); no other shield tick, scan or Live Update starts meanwhile.
  bool bShieldTickRunning = false;
  // Home-page ticks since the memory shield last ran from one (it runs on every third).
  int16_t intHomePageTicks = 0;
  // The detection the memory alert on screen names; serial 0 when the alert shows no
  // detection (opened without being filled).
  MemoryAlertSubject memory_alert;
  // The serial of the last memory alert answered with STOP or ALLOW, and of the last shown.
  uint64_t answered_alert_serial = 0;
  uint64_t last_alert_serial = 0;
  // The start page as read at the last home-page tick ("about:blank" when unreadable).
  std::string strCurrentHomePage;
  // The protected start page, read from the settings at each tick.
  std::string strSavedHomePage;
};

}  // namespace model
