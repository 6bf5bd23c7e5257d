#pragma once
// Tab strips and status bars: rows of captioned parts. Positions count from 0.

#include <string>
#include <vector>

#include "forms/control.h"

namespace forms {

class TabStrip final : public Control {
 public:
  TabStrip(Form& form, std::string name, int index = kNoIndex)
      : Control(form, ControlKind::kTabStrip, std::move(name), index) {}

  const std::vector<std::string>& Tabs() const { return state_.tabs; }
  int TabCount() const { return static_cast<int>(state_.tabs.size()); }
  // The first tab added becomes the selected one.
  void AddTab(std::string caption);
  // The selected tab, -1 when there is none.
  int SelectedIndex() const { return state_.selected; }
  // Runs on_click when the selection changes. False for a position out of range.
  bool SetSelectedIndex(int position);

  // The user picks a tab.
  bool UserSelectTab(int position);

 protected:
  void SaveDesign() override;
  void RestoreDesign() override;
  void CopyFrom(const Control& other) override;

 private:
  struct State {
    std::vector<std::string> tabs;
    int selected = -1;
  };
  State state_;
  State design_;
};

struct StatusPanel {
  std::string text;
  double width = 1440;  // twips
};

class StatusBar final : public Control {
 public:
  StatusBar(Form& form, std::string name, int index = kNoIndex)
      : Control(form, ControlKind::kStatusBar, std::move(name), index) {}

  const std::vector<StatusPanel>& Panels() const { return state_.panels; }
  int PanelCount() const { return static_cast<int>(state_.panels.size()); }
  void AddPanel(std::string text = {}, double width = 1440);
  // "" for a position out of range.
  std::string PanelText(int position) const;
  // False for a position out of range.
  bool SetPanelText(int position, std::string text);
  bool SetPanelWidth(int position, double width);

 protected:
  void SaveDesign() override;
  void RestoreDesign() override;
  void CopyFrom(const Control& other) override;

 private:
  struct State {
    std::vector<StatusPanel> panels;
  };
  State state_;
  State design_;
};

}  // namespace forms
