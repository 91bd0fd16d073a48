// ListViewUnitsOnline: the unit list, with the keys a keyboard user selects and edits by.
#pragma once

#include <QTreeView>

namespace tarnwick {

class UnitListView : public QTreeView {
    Q_OBJECT
public:
    explicit UnitListView(QWidget* parent);

    // Highlights the session's selected row (0: none). The current row follows without
    // scrolling, so the arrow keys move on from the unit that identifies itself.
    void ShowSelectedRow(int row);

signals:
    // Rows and columns count from 1, as the session's do.
    void CurrentRowMovedByKey(int row);
    void EditRequested(int row, int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void MoveCurrentColumn(int step);
    void ToggleCheckBox();
};

} // namespace tarnwick
