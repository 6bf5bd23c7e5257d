#pragma once
// A tray for headless tests: keeps each window's icon and tip and records every call.

#include <map>
#include <string>
#include <vector>

#include "model/tray.h"

namespace hg_test {

class RecordingTrayHost final : public model::TrayHost {
 public:
  struct Icon {
    std::string icon;
    std::string tip;
  };

  void AddIcon(services::WindowHandle window, const std::string& icon,
               const std::string& tip) override {
    icons_[window] = {icon, tip};
    calls_.push_back("Add " + tip);
  }
  void ChangeTip(services::WindowHandle window, const std::string& tip) override {
    icons_[window].tip = tip;
    calls_.push_back("Tip " + tip);
  }
  void DeleteIcon(services::WindowHandle window) override {
    icons_.erase(window);
    calls_.push_back("Delete");
  }

  const std::map<services::WindowHandle, Icon>& icons() const { return icons_; }
  // The window's tip, "" when its icon is not in.
  std::string TipOf(services::WindowHandle window) const {
    auto it = icons_.find(window);
    return it == icons_.end() ? std::string() : it->second.tip;
  }
  const std::vector<std::string>& calls() const { return calls_; }

 private:
  std::map<services::WindowHandle, Icon> icons_;
  std::vector<std::string> calls_;
};

}  // namespace hg_test
