// Paints a pending edit in its own colour also in the selected row, where the style would
// otherwise paint every text in the highlight colour and hide the mark.
#pragma once

#include <QStyledItemDelegate>

namespace tarnwick {

class PendingEditDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Whether `at` (in the viewport) lies on the check box of `index`: a release there toggles
    // the box, and that toggle alone is the click.
    bool OnCheckBox(const QAbstractItemView& view, const QModelIndex& index, QPoint at) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace tarnwick
