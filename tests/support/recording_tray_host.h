#pragma once
// A tray for headless tests: each window's tip while its icon is in, and every call.

#include <map>
#include <string>
#include <vector>

#include "model/tray.h"

namespace hg_test {

class RecordingTrayHost final : public model::TrayHost {
 public:
  void AddIcon(services::WindowHandle window, const std::string&, const std::string& tip) override {
    tips[window] = tip;
    calls.push_back("Add " + tip);
  }
  void ChangeTip(services::WindowHandle window, const std::string& tip) override {
    tips[window] = tip;
    calls.push_back("Tip " + tip);
  }
  void DeleteIcon(services::WindowHandle window) override {
    tips.erase(window);
    calls.push_back("Delete");
  }
  bool Available() const override { return available; }

  // False: a desktop without a notification area.
  bool available = true;

  std::map<services::WindowHandle, std::string> tips;
  std::vector<std::string> calls;
};

}  // namespace hg_test
