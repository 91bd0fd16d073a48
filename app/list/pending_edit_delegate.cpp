#include "app/list/pending_edit_delegate.h"

#include "app/list/readable_colour.h"

#include <QAbstractItemView>
#include <QApplication>

namespace tarnwick {

void PendingEditDelegate::initStyleOption(QStyleOptionViewItem* option,
                                          const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant foreground = index.data(Qt::ForegroundRole);
    if (!foreground.canConvert<QColor>())
        return;
    // Pure red stays unless it would fall below 3:1 on the scheme's base (a dark scheme).
    const auto wanted = foreground.value<QColor>();
    option->palette.setColor(QPalette::Text,
                             Readable(wanted, option->palette.color(QPalette::Base), 3.0));
    option->palette.setColor(QPalette::HighlightedText,
                             Readable(wanted, option->palette.color(QPalette::Highlight), 3.0));
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
