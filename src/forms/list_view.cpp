#include "forms/list_view.h"

#include <stdexcept>
#include <utility>

#include "machine/text.h"

namespace forms {

std::string ListItem::SubItem(int number) const {
  if (number < 1 || number > static_cast<int>(sub_items.size()))
    return {};
  return sub_items[number - 1];
}

void ListItem::SetSubItem(int number, std::string value) {
  if (number < 1)
    return;
  if (static_cast<int>(sub_items.size()) < number)
    sub_items.resize(number);
  sub_items[number - 1] = std::move(value);
}

void ListView::AddColumn(std::string text, double width) {
  state_.columns.push_back({std::move(text), width});
  RowsChanged(ListChange::Kind::kColumns, ColumnCount() - 1);
}

bool ListView::SetColumnWidth(int column, double width) {
  if (column < 0 || column >= ColumnCount())
    return false;
  if (state_.columns[column].width != width) {
    state_.columns[column].width = width;
    RowsChanged(ListChange::Kind::kColumns, column);
  }
  return true;
}

void ListView::ClearColumns() {
  if (state_.columns.empty())
    return;
  state_.columns.clear();
  RowsChanged(ListChange::Kind::kColumns, -1);
}

void ListView::SetCheckboxes(bool checkboxes) {
  if (state_.checkboxes == checkboxes)
    return;
  state_.checkboxes = checkboxes;
  Changed();
}

const ListItem& ListView::Item(int position) const {
  if (!ValidPosition(position))
    throw std::out_of_range(FullName() + ": no row " + std::to_string(position));
  return state_.items[position];
}

int ListView::AddItem(std::string text, int small_icon) {
  ListItem item;
  item.text = std::move(text);
  item.small_icon = small_icon;
  return AddItem(std::move(item));
}

int ListView::AddItem(ListItem item) {
  state_.items.push_back(std::move(item));
  int position = Count() - 1;
  RowsChanged(ListChange::Kind::kInserted, position);
  return position;
}

bool ListView::RemoveItem(int position) {
  if (!ValidPosition(position))
    return false;
  state_.items.erase(state_.items.begin() + position);
  RowsChanged(ListChange::Kind::kRemoved, position);
  return true;
}

void ListView::Clear() {
  if (state_.items.empty())
    return;
  state_.items.clear();
  RowsChanged(ListChange::Kind::kReset, -1);
}

bool ListView::SetItemText(int position, std::string text) {
  if (!ValidPosition(position))
    return false;
  if (state_.items[position].text != text) {
    state_.items[position].text = std::move(text);
    RowsChanged(ListChange::Kind::kChanged, position);
  }
  return true;
}

bool ListView::SetSubItem(int position, int number, std::string text) {
  if (!ValidPosition(position) || number < 1)
    return false;
  ListItem& item = state_.items[position];
  if (item.SubItem(number) != text || static_cast<int>(item.sub_items.size()) < number) {
    item.SetSubItem(number, std::move(text));
    RowsChanged(ListChange::Kind::kChanged, position);
  }
  return true;
}

bool ListView::SetChecked(int position, bool checked) {
  if (!ValidPosition(position))
    return false;
  if (state_.items[position].checked != checked) {
    state_.items[position].checked = checked;
    RowsChanged(ListChange::Kind::kChanged, position);
  }
  return true;
}

bool ListView::SetSmallIcon(int position, int small_icon) {
  if (!ValidPosition(position))
    return false;
  if (state_.items[position].small_icon != small_icon) {
    state_.items[position].small_icon = small_icon;
    RowsChanged(ListChange::Kind::kChanged, position);
  }
  return true;
}

bool ListView::SetItemTag(int position, std::string tag) {
  if (!ValidPosition(position))
    return false;
  if (state_.items[position].tag != tag) {
    state_.items[position].tag = std::move(tag);
    RowsChanged(ListChange::Kind::kChanged, position);
  }
  return true;
}

bool ListView::SetSelected(int position, bool selected) {
  if (!ValidPosition(position))
    return false;
  if (selected) {
    for (int i = 0; i < Count(); ++i) {
      if (i != position && state_.items[i].selected) {
        state_.items[i].selected = false;
        RowsChanged(ListChange::Kind::kChanged, i);
      }
    }
  }
  if (state_.items[position].selected != selected) {
    state_.items[position].selected = selected;
    RowsChanged(ListChange::Kind::kChanged, position);
  }
  return true;
}

int ListView::SelectedIndex() const {
  for (int i = 0; i < Count(); ++i) {
    if (state_.items[i].selected)
      return i;
  }
  return -1;
}

int ListView::FindItem(std::string_view prefix) const {
  for (int i = 0; i < Count(); ++i) {
    if (machine::StartsWithIgnoreCase(state_.items[i].text, prefix))
      return i;
  }
  return -1;
}

bool ListView::UserCheckItem(int position, bool checked) {
  std::string what = "check row " + std::to_string(position);
  if (!state_.checkboxes || !ValidPosition(position))
    return Refuse(what, state_.checkboxes ? "no such row" : "the list has no check boxes");
  return RunUserAction(what, [this, position, checked] {
    SetChecked(position, checked);
    if (on_item_check)
      on_item_check(position);
  });
}

bool ListView::UserSelectItem(int position) {
  std::string what = "select row " + std::to_string(position);
  if (!ValidPosition(position))
    return Refuse(what, "no such row");
  return RunUserAction(what, [this, position] {
    SetSelected(position, true);
    if (on_item_click)
      on_item_click(position);
  });
}

bool ListView::UserClickColumn(int column) {
  std::string what = "click column " + std::to_string(column);
  if (column < 0 || column >= ColumnCount())
    return Refuse(what, "no such column");
  return RunUserAction(what, [this, column] {
    if (on_column_click)
      on_column_click(column);
  });
}

bool ListView::UserResizeColumn(int column, double width) {
  std::string what = "resize column " + std::to_string(column);
  if (column < 0 || column >= ColumnCount())
    return Refuse(what, "no such column");
  return RunUserAction(what, [this, column, width] { SetColumnWidth(column, width); });
}

bool ListView::ValidPosition(int position) const {
  return position >= 0 && position < Count();
}

void ListView::RowsChanged(ListChange::Kind kind, int position) {
  if (rows_observer)
    rows_observer(*this, ListChange{kind, position});
}

void ListView::SaveDesign() {
  Control::SaveDesign();
  design_ = state_;
}

void ListView::RestoreDesign() {
  state_ = design_;
  RowsChanged(ListChange::Kind::kReset, -1);
  RowsChanged(ListChange::Kind::kColumns, -1);
  Control::RestoreDesign();
}

void ListView::CopyFrom(const Control& other) {
  state_ = static_cast<const ListView&>(other).state_;
  RowsChanged(ListChange::Kind::kReset, -1);
  RowsChanged(ListChange::Kind::kColumns, -1);
  Control::CopyFrom(other);
}

}  // namespace forms
