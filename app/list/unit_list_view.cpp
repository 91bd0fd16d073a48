#include "app/list/unit_list_view.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace tarnwick {

UnitListView::UnitListView(QWidget* parent) : QTreeView(parent) {}

void UnitListView::ShowSelectedRow(int row) {
    if (row == 0) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = model()->index(row - 1, 0);
    selectionModel()->select(index,
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (currentIndex().row() == row - 1)
        return;
    // The column the user left the cursor in, or the leftmost one in sight.
    int column = currentIndex().column();
    if (column < 0)
        column = qMax(0, header()->logicalIndexAt(0));
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    selectionModel()->setCurrentIndex(index.siblingAtColumn(column), QItemSelectionModel::NoUpdate);
    setAutoScroll(scrolls);
}

void UnitListView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    switch (event->key()) {
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (current.isValid())
            emit EditRequested(current.row() + 1, current.column() + 1);
        return;
    case Qt::Key_Space:
        ToggleCheckBox();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        // Whole rows are selected, so the view itself would only scroll.
        MoveCurrentColumn(event->key() == Qt::Key_Right ? 1 : -1);
        return;
    default:
        break;
    }
    QTreeView::keyPressEvent(event);
    const QModelIndex moved = currentIndex();
    if (moved.isValid() && moved.row() != current.row())
        emit CurrentRowMovedByKey(moved.row() + 1);
}

void UnitListView::MoveCurrentColumn(int step) {
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    int visual = header()->visualIndex(current.column()) + step;
    while (visual >= 0 && visual < header()->count() &&
           header()->isSectionHidden(header()->logicalIndex(visual)))
        visual += step;
    const QModelIndex next = current.siblingAtColumn(header()->logicalIndex(visual));
    if (next.isValid())
        selectionModel()->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
}

void UnitListView::ToggleCheckBox() {
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    // The row's one check box, whichever cell is current; the model takes it as a click on it.
    const QModelIndex box = current.siblingAtColumn(0);
    const bool checked = box.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    model()->setData(box, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

} // namespace tarnwick
