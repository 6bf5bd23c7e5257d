#pragma once
// A report-style list: columns, and rows with a text, sub-item texts, a checked state, a small
// icon, a tag and a selected state. Positions count from 0; sub-items are numbered from 1 (the
// second column), as the program's logic numbers them.

#include <string>
#include <string_view>
#include <vector>

#include "forms/control.h"

namespace forms {

struct ColumnHeader {
  std::string text;
  double width = 1440;  // twips
};

struct ListItem {
  std::string text;
  std::vector<std::string> sub_items;  // sub_items[0] is sub-item 1
  bool checked = false;
  int small_icon = 0;
  std::string tag;
  bool selected = false;

  // Sub-item `number` (1 = second column); "" when it was never set.
  std::string SubItem(int number) const;
  void SetSubItem(int number, std::string text);
};

// What changed in the rows or columns, for the view to refresh only that.
struct ListChange {
  enum class Kind { kReset, kInserted, kRemoved, kChanged, kColumns };
  Kind kind = Kind::kReset;
  int position = -1;
};

class ListView final : public Control {
 public:
  ListView(Form& form, std::string name, int index = kNoIndex)
      : Control(form, ControlKind::kListView, std::move(name), index) {}

  // Columns.
  const std::vector<ColumnHeader>& Columns() const { return state_.columns; }
  int ColumnCount() const { return static_cast<int>(state_.columns.size()); }
  void AddColumn(std::string text, double width = 1440);
  // False for a column out of range.
  bool SetColumnWidth(int column, double width);
  void ClearColumns();

  bool Checkboxes() const { return state_.checkboxes; }
  void SetCheckboxes(bool checkboxes);

  // Rows.
  const std::vector<ListItem>& Items() const { return state_.items; }
  int Count() const { return static_cast<int>(state_.items.size()); }
  // Throws std::out_of_range for a bad position.
  const ListItem& Item(int position) const;
  // Adds at the end, unchecked; returns its position.
  int AddItem(std::string text, int small_icon = 0);
  int AddItem(ListItem item);
  bool RemoveItem(int position);
  void Clear();

  // Changes by code; none runs a handler. Each is false for a bad position.
  bool SetItemText(int position, std::string text);
  bool SetSubItem(int position, int number, std::string text);
  bool SetChecked(int position, bool checked);
  bool SetSmallIcon(int position, int small_icon);
  bool SetItemTag(int position, std::string tag);
  // Selecting a row clears the selection of the others.
  bool SetSelected(int position, bool selected);
  // The first selected row, -1 for none.
  int SelectedIndex() const;

  // The first row whose text begins with `prefix`, ignoring case; -1 for none.
  int FindItem(std::string_view prefix) const;

  // Run only on user action; they receive the row's position (the row already holds its new
  // check state).
  std::function<void(int position)> on_item_check;
  std::function<void(int position)> on_item_click;
  std::function<void(int column)> on_column_click;

  bool UserCheckItem(int position, bool checked);
  bool UserSelectItem(int position);
  bool UserClickColumn(int column);
  // The user drags a column edge.
  bool UserResizeColumn(int column, double width);

  // The view's hook for rows and columns (the generic observer covers the rest).
  std::function<void(ListView&, const ListChange&)> rows_observer;

 protected:
  void SaveDesign() override;
  void RestoreDesign() override;
  void CopyFrom(const Control& other) override;

 private:
  bool ValidPosition(int position) const;
  void RowsChanged(ListChange::Kind kind, int position);

  struct State {
    std::vector<ColumnHeader> columns;
    std::vector<ListItem> items;
    bool checkboxes = false;
  };
  State state_;
  State design_;
};

}  // namespace forms
