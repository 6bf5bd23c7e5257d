#include "forms/bars.h"

#include <utility>

namespace forms {

void TabStrip::AddTab(std::string caption) {
  state_.tabs.push_back(std::move(caption));
  if (state_.selected == -1)
    state_.selected = 0;
  Changed();
}

bool TabStrip::SetSelectedIndex(int position) {
  if (position < 0 || position >= TabCount())
    return false;
  if (state_.selected == position)
    return true;
  state_.selected = position;
  Changed();
  if (on_click)
    on_click();
  return true;
}

bool TabStrip::UserSelectTab(int position) {
  std::string what = "select tab " + std::to_string(position);
  if (position < 0 || position >= TabCount())
    return Refuse(what, "no such tab");
  return RunUserAction(what, [this, position] { SetSelectedIndex(position); });
}

void TabStrip::SaveDesign() {
  Control::SaveDesign();
  design_ = state_;
}

void TabStrip::RestoreDesign() {
  state_ = design_;
  Control::RestoreDesign();
}

void TabStrip::CopyFrom(const Control& other) {
  state_ = static_cast<const TabStrip&>(other).state_;
  Control::CopyFrom(other);
}

void StatusBar::AddPanel(std::string text, double width) {
  state_.panels.push_back({std::move(text), width});
  Changed();
}

std::string StatusBar::PanelText(int position) const {
  if (position < 0 || position >= PanelCount())
    return {};
  return state_.panels[position].text;
}

bool StatusBar::SetPanelText(int position, std::string text) {
  if (position < 0 || position >= PanelCount())
    return false;
  if (state_.panels[position].text != text) {
    state_.panels[position].text = std::move(text);
    Changed();
  }
  return true;
}

bool StatusBar::SetPanelWidth(int position, double width) {
  if (position < 0 || position >= PanelCount())
    return false;
  if (state_.panels[position].width != width) {
    state_.panels[position].width = width;
    Changed();
  }
  return true;
}

void StatusBar::SaveDesign() {
  Control::SaveDesign();
  design_ = state_;
}

void StatusBar::RestoreDesign() {
  state_ = design_;
  Control::RestoreDesign();
}

void StatusBar::CopyFrom(const Control& other) {
  state_ = static_cast<const StatusBar&>(other).state_;
  Control::CopyFrom(other);
}

}  // namespace forms
