// List views as QTreeWidget: columns with widths in twips, rows with sub-items, check boxes and
// small icons. Row changes arrive one by one (rows_observer), so a long scan adds rows without
// rebuilding the list.

#include <QHeaderView>
#include <QTreeWidget>
#include <utility>

#include "forms/list_view.h"
#include "view/binders.h"
#include "view/qt_text.h"
#include "view/twips.h"

namespace view {

namespace {

class ListBinding final : public Binding {
 public:
  ListBinding(forms::ListView& list, BindContext& context, const ControlDesign& design)
      : Binding(list, context, design), list_(list) {}

  void Detach() override {
    list_.rows_observer = nullptr;
    Binding::Detach();
  }

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    tree_ = new QTreeWidget(parent);
    tree_->setRootIsDecorated(false);
    tree_->setUniformRowHeights(true);
    tree_->setAllColumnsShowFocus(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setHeaderHidden(!design().column_headers);
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionsMovable(false);
    tree_->header()->setSectionsClickable(true);

    OnUser(tree_, &QTreeWidget::itemChanged,
           [this](QTreeWidgetItem* item, int column) { ItemChanged(item, column); });
    OnUser(tree_, &QTreeWidget::currentItemChanged,
           [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
             if (!current)
               return;
             just_selected_ = current;
             Select(current);
           });
    OnUser(tree_, &QTreeWidget::itemClicked, [this](QTreeWidgetItem* item, int) {
      // A click on the row that just became current was reported already.
      if (std::exchange(just_selected_, nullptr) != item)
        Select(item);
    });
    OnUser(tree_->header(), &QHeaderView::sectionClicked,
           [this](int column) { UserAction([this, column] { list_.UserClickColumn(column); }); });
    OnUser(tree_->header(), &QHeaderView::sectionResized, [this](int column, int, int size) {
      if (column < list_.ColumnCount())
        UserAction([this, column, size] { list_.UserResizeColumn(column, PixelsToTwips(size)); });
    });

    list_.rows_observer = [this](forms::ListView&, const forms::ListChange& change) {
      RowsChanged(change);
    };
    return tree_;
  }

  void RefreshKind() override {
    // A style sheet keeps the header and the viewport it draws on at the application's font:
    // they take the list's, as the rows do, so that the captions fit the columns sized for them.
    for (QWidget* header : {static_cast<QWidget*>(tree_->header()), tree_->header()->viewport()}) {
      if (header->font() != tree_->font())
        header->setFont(tree_->font());
    }
    if (!built_) {
      built_ = true;
      RefreshColumns();
      RebuildRows();
      return;
    }
    // The generic change (check boxes switched on or off) touches every row's check.
    if (checkboxes_ != list_.Checkboxes()) {
      checkboxes_ = list_.Checkboxes();
      for (int i = 0; i < tree_->topLevelItemCount() && i < list_.Count(); ++i)
        FillItem(*tree_->topLevelItem(i), list_.Items()[i]);
    }
    SyncChecksAndSelection();
  }

 private:
  void RowsChanged(const forms::ListChange& change) {
    UpdateScope scope(*this);
    using Kind = forms::ListChange::Kind;
    switch (change.kind) {
      case Kind::kInserted:
        if (change.position >= 0 && change.position <= tree_->topLevelItemCount()) {
          auto* item = new QTreeWidgetItem();
          FillItem(*item, list_.Items()[change.position]);
          tree_->insertTopLevelItem(change.position, item);
          if (list_.Items()[change.position].selected)
            tree_->setCurrentItem(item);
          return;
        }
        break;
      case Kind::kRemoved:
        if (change.position >= 0 && change.position < tree_->topLevelItemCount()) {
          delete tree_->takeTopLevelItem(change.position);
          return;
        }
        break;
      case Kind::kChanged:
        if (change.position >= 0 && change.position < tree_->topLevelItemCount() &&
            change.position < list_.Count()) {
          QTreeWidgetItem& item = *tree_->topLevelItem(change.position);
          FillItem(item, list_.Items()[change.position]);
          if (list_.Items()[change.position].selected)
            tree_->setCurrentItem(&item);
          return;
        }
        break;
      case Kind::kColumns:
        RefreshColumns();
        return;
      case Kind::kReset:
        break;
    }
    RebuildRows();
  }

  void RefreshColumns() {
    UpdateScope scope(*this);
    QStringList labels;
    for (const forms::ColumnHeader& column : list_.Columns())
      labels << ToQString(column.text);
    if (labels.isEmpty())
      labels << QString();
    // A width dragged by the user changes no more than that width: rows stay as they are.
    if (labels != shown_labels_) {
      shown_labels_ = labels;
      tree_->setColumnCount(static_cast<int>(labels.size()));
      tree_->setHeaderLabels(labels);
      // Sub-items of rows already there may now have a column to show in.
      for (int i = 0; i < tree_->topLevelItemCount() && i < list_.Count(); ++i)
        FillItem(*tree_->topLevelItem(i), list_.Items()[i]);
    }
    for (int i = 0; i < list_.ColumnCount(); ++i) {
      const int width = TwipsToPixels(list_.Columns()[i].width);
      if (tree_->header()->sectionSize(i) != width)
        tree_->header()->resizeSection(i, width);
    }
    if (list_.ColumnCount() == 0)
      tree_->header()->resizeSection(0, tree_->viewport()->width());
  }

  void RebuildRows() {
    UpdateScope scope(*this);
    checkboxes_ = list_.Checkboxes();
    tree_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(list_.Count());
    for (const forms::ListItem& row : list_.Items()) {
      auto* item = new QTreeWidgetItem();
      FillItem(*item, row);
      items << item;
    }
    tree_->addTopLevelItems(items);
    SyncChecksAndSelection();
  }

  void FillItem(QTreeWidgetItem& item, const forms::ListItem& row) {
    item.setText(0, ToQString(row.text));
    for (int column = 1; column < tree_->columnCount(); ++column)
      item.setText(column, ToQString(row.SubItem(column)));
    if (list_.Checkboxes())
      item.setCheckState(0, row.checked ? Qt::Checked : Qt::Unchecked);
    else
      item.setData(0, Qt::CheckStateRole, QVariant());
    item.setIcon(
        0, row.small_icon > 0 ? context().SmallIcon(design().icons, row.small_icon) : QIcon());
  }

  // After a user action the handler may have changed any row's check or the selection.
  void SyncChecksAndSelection() {
    UpdateScope scope(*this);
    QTreeWidgetItem* selected = nullptr;
    for (int i = 0; i < tree_->topLevelItemCount() && i < list_.Count(); ++i) {
      QTreeWidgetItem& item = *tree_->topLevelItem(i);
      const forms::ListItem& row = list_.Items()[i];
      if (list_.Checkboxes()) {
        const Qt::CheckState state = row.checked ? Qt::Checked : Qt::Unchecked;
        if (item.checkState(0) != state)
          item.setCheckState(0, state);
      }
      if (row.selected && !selected)
        selected = &item;
    }
    if (selected && tree_->currentItem() != selected)
      tree_->setCurrentItem(selected);
    else if (!selected && tree_->currentItem())
      tree_->setCurrentItem(nullptr);
  }

  void ItemChanged(QTreeWidgetItem* item, int column) {
    if (column != 0 || !list_.Checkboxes())
      return;
    const int position = tree_->indexOfTopLevelItem(item);
    if (position < 0 || position >= list_.Count())
      return;
    const bool checked = item->checkState(0) == Qt::Checked;
    if (checked == list_.Items()[position].checked)
      return;
    UserAction([this, position, checked] { list_.UserCheckItem(position, checked); });
  }

  void Select(QTreeWidgetItem* item) {
    const int position = tree_->indexOfTopLevelItem(item);
    if (position >= 0 && position < list_.Count())
      UserAction([this, position] { list_.UserSelectItem(position); });
  }

  forms::ListView& list_;
  QTreeWidget* tree_ = nullptr;
  QTreeWidgetItem* just_selected_ = nullptr;
  QStringList shown_labels_;
  bool built_ = false;
  bool checkboxes_ = false;
};

}  // namespace

std::unique_ptr<Binding> MakeListBinding(forms::Control& control, BindContext& context,
                                         const ControlDesign& design) {
  return std::make_unique<ListBinding>(static_cast<forms::ListView&>(control), context, design);
}

}  // namespace view
