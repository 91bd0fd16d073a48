// Paints a pending edit in its own colour also in the selected row, where the style would
// otherwise paint every text in the highlight colour and hide the mark.
#pragma once

#include <QStyledItemDelegate>

namespace tarnwick {

class PendingEditDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace tarnwick
