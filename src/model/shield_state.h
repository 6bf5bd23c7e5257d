#pragma once
// What the home-page and memory shields keep between ticks.

#include <string>

namespace model {

struct ShieldState {
  // Set when the memory alert is answered; the memory shield waits on it.
  bool bAlertAnswered = false;
  // The start page as read at the last home-page tick ("about:blank" when unreadable).
  std::string strCurrentHomePage;
  // The protected start page, read from the settings at each tick.
  std::string strSavedHomePage;
};

}  // namespace model
