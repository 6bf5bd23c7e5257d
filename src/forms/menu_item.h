#pragma once
// A menu or menu item. An item's container is the menu that holds it (SetContainer); a menu
// of the menu bar has none. Caption "-" is a separator.

#include <vector>

#include "forms/basic_controls.h"

namespace forms {

class MenuItem final : public CaptionedControl {
 public:
  MenuItem(Form& form, std::string name, int index = kNoIndex)
      : CaptionedControl(form, ControlKind::kMenuItem, std::move(name), index) {}

  // The menu that holds this item; nullptr for a menu of the menu bar.
  MenuItem* Parent() const;
  // The items this menu holds, in the order they were made.
  std::vector<MenuItem*> SubItems() const;
  bool IsSeparator() const { return Caption() == "-"; }

  bool Checked() const { return checked_; }
  void SetChecked(bool checked);

 protected:
  // Choosing a separator does nothing.
  void OnUserClick() override;
  void SaveDesign() override;
  void RestoreDesign() override;
  void CopyFrom(const Control& other) override;

 private:
  bool checked_ = false;
  bool checked_design_ = false;
};

}  // namespace forms
