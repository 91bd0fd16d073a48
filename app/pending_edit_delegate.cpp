#include "app/pending_edit_delegate.h"

namespace tarnwick {

void PendingEditDelegate::initStyleOption(QStyleOptionViewItem* option,
                                          const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant foreground = index.data(Qt::ForegroundRole);
    if (foreground.canConvert<QColor>() && foreground.value<QColor>() != QColor(Qt::black))
        option->palette.setColor(QPalette::HighlightedText, foreground.value<QColor>());
}

} // namespace tarnwick
