#include "app/pending_edit_delegate.h"

#include <QAbstractItemView>
#include <QApplication>

namespace tarnwick {

void PendingEditDelegate::initStyleOption(QStyleOptionViewItem* option,
                                          const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant foreground = index.data(Qt::ForegroundRole);
    if (foreground.canConvert<QColor>() && foreground.value<QColor>() != QColor(Qt::black))
        option->palette.setColor(QPalette::HighlightedText, foreground.value<QColor>());
}

bool PendingEditDelegate::OnCheckBox(const QAbstractItemView& view, const QModelIndex& index,
                                     QPoint at) const {
    if (!index.isValid() || !(index.flags() & Qt::ItemIsUserCheckable))
        return false;
    // As the delegate measures it when the view hands it the release.
    QStyleOptionViewItem option;
    option.initFrom(view.viewport());
    option.rect = view.visualRect(index);
    option.widget = &view;
    initStyleOption(&option, index);
    const QStyle* style = view.style() ? view.style() : QApplication::style();
    return style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &view)
        .contains(at);
}

} // namespace tarnwick
