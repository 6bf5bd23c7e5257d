#pragma once
// Text boxes and combo boxes.

#include <string>
#include <vector>

#include "forms/control.h"

namespace forms {

class TextBox final : public Control {
 public:
  TextBox(Form& form, std::string name, int index = kNoIndex)
      : Control(form, ControlKind::kTextBox, std::move(name), index) {}

  const std::string& Text() const { return state_.text; }
  // Runs on_change when the text changes.
  void SetText(std::string text);
  bool Locked() const { return state_.locked; }
  void SetLocked(bool locked);
  bool MultiLine() const { return state_.multi_line; }
  void SetMultiLine(bool multi_line);

  std::function<void()> on_change;

  // The user replaces the whole text (typing, pasting). Refused when the box is locked.
  bool UserSetText(std::string text);

 protected:
  // A printable key that the key-press handler let through is typed at the end of the text.
  void OnKeyAccepted(int key_ascii) override;
  void SaveDesign() override;
  void RestoreDesign() override;
  void CopyFrom(const Control& other) override;

 private:
  struct State {
    std::string text;
    bool locked = false;
    bool multi_line = false;
  };
  State state_;
  State design_;
};

class ComboBox final : public Control {
 public:
  enum class Style { kDropdownCombo, kSimpleCombo, kDropdownList };

  ComboBox(Form& form, std::string name, int index = kNoIndex)
      : Control(form, ControlKind::kComboBox, std::move(name), index) {}

  Style GetStyle() const { return state_.style; }
  void SetStyle(Style style);

  // Items, by position from 0.
  const std::vector<std::string>& Items() const { return state_.items; }
  int ListCount() const { return static_cast<int>(state_.items.size()); }
  // "" for a position out of range.
  std::string List(int position) const;
  void AddItem(std::string item);
  // False for a position out of range. Removing the selected item clears the selection.
  bool RemoveItem(int position);
  void Clear();

  // The selected position, -1 for none.
  int ListIndex() const { return state_.list_index; }
  // Selects a position (-1 clears): the text becomes the item, and on_click runs when the
  // selection changed. False, and nothing changes, for a position out of range.
  bool SetListIndex(int position);

  const std::string& Text() const { return state_.text; }
  // Runs on_change when the text changes. In a drop-down list the text must be one of the
  // items (compared ignoring case): it selects that item; any other text is refused (false).
  bool SetText(std::string text);

  // on_click: the selection changed. on_change: the text changed.
  std::function<void()> on_change;

  // The user picks an item from the list.
  bool UserSelect(int position);
  // The user types the text (not in a drop-down list).
  bool UserSetText(std::string text);

 protected:
  void SaveDesign() override;
  void RestoreDesign() override;
  void CopyFrom(const Control& other) override;

 private:
  void SetTextValue(std::string text);

  struct State {
    Style style = Style::kDropdownCombo;
    std::vector<std::string> items;
    int list_index = -1;
    std::string text;
  };
  State state_;
  State design_;
};

}  // namespace forms
