#include "forms/text_controls.h"

#include <utility>

#include "machine/text.h"

namespace forms {

void TextBox::SetText(std::string text) {
  if (state_.text == text)
    return;
  state_.text = std::move(text);
  Changed();
  if (on_change)
    on_change();
}

void TextBox::SetLocked(bool locked) {
  if (state_.locked == locked)
    return;
  state_.locked = locked;
  Changed();
}

void TextBox::SetMultiLine(bool multi_line) {
  if (state_.multi_line == multi_line)
    return;
  state_.multi_line = multi_line;
  Changed();
}

bool TextBox::UserSetText(std::string text) {
  if (state_.locked)
    return Refuse("typing", "the box is locked");
  return RunUserAction("typing", [this, &text] { SetText(std::move(text)); });
}

void TextBox::OnKeyAccepted(int key_ascii) {
  if (state_.locked || key_ascii < 32 || key_ascii > 255)
    return;
  SetText(state_.text + static_cast<char>(key_ascii));
}

void TextBox::SaveDesign() {
  Control::SaveDesign();
  design_ = state_;
}

void TextBox::RestoreDesign() {
  state_ = design_;
  Control::RestoreDesign();
}

void TextBox::CopyFrom(const Control& other) {
  state_ = static_cast<const TextBox&>(other).state_;
  Control::CopyFrom(other);
}

void ComboBox::SetStyle(Style style) {
  if (state_.style == style)
    return;
  state_.style = style;
  Changed();
}

std::string ComboBox::List(int position) const {
  if (position < 0 || position >= ListCount())
    return {};
  return state_.items[position];
}

void ComboBox::AddItem(std::string item) {
  state_.items.push_back(std::move(item));
  Changed();
}

bool ComboBox::RemoveItem(int position) {
  if (position < 0 || position >= ListCount())
    return false;
  state_.items.erase(state_.items.begin() + position);
  if (state_.list_index == position) {
    state_.list_index = -1;
    if (state_.style == Style::kDropdownList)
      state_.text.clear();
  } else if (state_.list_index > position) {
    --state_.list_index;
  }
  Changed();
  return true;
}

void ComboBox::Clear() {
  if (state_.items.empty() && state_.list_index == -1)
    return;
  state_.items.clear();
  state_.list_index = -1;
  if (state_.style == Style::kDropdownList)
    state_.text.clear();
  Changed();
}

bool ComboBox::SetListIndex(int position) {
  if (position < -1 || position >= ListCount())
    return false;
  if (state_.list_index == position)
    return true;
  state_.list_index = position;
  Changed();
  SetTextValue(position == -1 ? std::string() : state_.items[position]);
  if (on_click)
    on_click();
  return true;
}

bool ComboBox::SetText(std::string text) {
  if (state_.style == Style::kDropdownList) {
    for (int i = 0; i < ListCount(); ++i) {
      if (machine::EqualsIgnoreCase(state_.items[i], text))
        return SetListIndex(i);
    }
    return false;
  }
  SetTextValue(std::move(text));
  return true;
}

void ComboBox::SetTextValue(std::string text) {
  if (state_.text == text)
    return;
  state_.text = std::move(text);
  Changed();
  if (on_change)
    on_change();
}

bool ComboBox::UserSelect(int position) {
  if (position < 0 || position >= ListCount())
    return Refuse("select " + std::to_string(position), "no such item");
  return RunUserAction("select " + std::to_string(position),
                       [this, position] { SetListIndex(position); });
}

bool ComboBox::UserSetText(std::string text) {
  if (state_.style == Style::kDropdownList)
    return Refuse("typing", "a drop-down list takes no typing");
  return RunUserAction("typing", [this, &text] { SetText(std::move(text)); });
}

void ComboBox::SaveDesign() {
  Control::SaveDesign();
  design_ = state_;
}

void ComboBox::RestoreDesign() {
  state_ = design_;
  Control::RestoreDesign();
}

void ComboBox::CopyFrom(const Control& other) {
  state_ = static_cast<const ComboBox&>(other).state_;
  Control::CopyFrom(other);
}

}  // namespace forms
