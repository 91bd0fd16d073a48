#include "app/list/field_edit.h"

#include "app/list/field_text_validator.h"
#include "app/list/latin1.h"
#include "app/list/pending_edit_delegate.h"
#include "app/list/readable_colour.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <cmath>

namespace tarnwick {
namespace {

// Sets a flag for a scope.
class Flag {
public:
    explicit Flag(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~Flag() { flag_ = old_; }
    Flag(const Flag&) = delete;
    Flag& operator=(const Flag&) = delete;

private:
    bool& flag_;
    bool old_;
};

} // namespace

FieldEdit::FieldEdit(ConsoleRuntime& runtime, QTreeView* listView)
    : runtime_(runtime), ltvListView(listView), viewport_(listView->viewport()) {
    // In the list's viewport, so the list clips it like its own cells.
    txtEdit = new QLineEdit(listView->viewport());
    txtEdit->setObjectName("txtLabelEdit_" + listView->objectName());
    txtEdit->hide();
    txtEdit->setFont(listView->font());
    txtEdit->setFrame(true);
    validator_ = new FieldTextValidator(runtime_.State(), *txtEdit);
    txtEdit->setValidator(validator_);
    txtEdit->installEventFilter(this);
    viewport_->installEventFilter(this);

    // An open edit is committed before a scroll bar moves the list (the wheel arrives here too);
    // a refused text keeps the editor open, so it follows its cell.
    for (QScrollBar* bar : {listView->horizontalScrollBar(), listView->verticalScrollBar()}) {
        connect(bar, &QAbstractSlider::actionTriggered, this, [this] {
            if (IsEditing())
                SetText();
        });
        connect(bar, &QAbstractSlider::valueChanged, this, &FieldEdit::PlaceOverCell);
    }
    // Refresh empties the list: the edit goes with its unit.
    connect(listView->model(), &QAbstractItemModel::modelAboutToBeReset, this, &FieldEdit::Hide);
}

FieldEdit::~FieldEdit() {
    if (viewport_)
        viewport_->removeEventFilter(this);
    if (txtEdit)
        txtEdit->removeEventFilter(this);
}

bool FieldEdit::IsEditing() const {
    const QLineEdit* edit = txtEdit;
    return edit && edit->isVisible();
}

void FieldEdit::Hide() {
    if (!txtEdit)
        return;
    Flag quiet(quiet_);
    // A keyboard user goes on from the list, not from whatever follows the box in the tab chain.
    if (txtEdit->hasFocus() && ltvListView)
        ltvListView->setFocus(Qt::OtherFocusReason);
    txtEdit->hide();
}

void FieldEdit::Refocus() {
    if (IsEditing())
        txtEdit->setFocus(Qt::OtherFocusReason);
}

bool FieldEdit::eventFilter(QObject* watched, QEvent* event) {
    // The desktop's scheme changed under an open box.
    if (watched == viewport_ && event->type() == QEvent::PaletteChange && IsEditing())
        FollowPalette();
    // The open box keeps its keys: one it has no use for (Up, Page Down, F2 ...) would otherwise
    // travel on to the list behind it and move the selection or reload the cell.
    if (watched == viewport_ && event->type() == QEvent::KeyPress && IsEditing()) {
        event->accept();
        return true;
    }
    if (watched == viewport_ && event->type() == QEvent::MouseButtonRelease) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        // A filter sees events that a disabled list itself would refuse. A release on a check
        // box is the box's click: selecting the row here as well would handle it twice.
        if (const QTreeView* list = ltvListView;
            list && list->isEnabled() && !OnCheckBox(*list, at))
            StartEdit(at);
        return false;
    }
    const QLineEdit* edit = txtEdit;
    if (!edit || watched != edit)
        return false;
    if (event->type() == QEvent::KeyPress)
        return KeyPress(static_cast<QKeyEvent*>(event));
    // A change request disables the list and the box with it: the edit waits, uncommitted, for
    // the list to come back rather than be committed in the middle of Apply.
    if (event->type() == QEvent::FocusOut && !quiet_ && !committing_ && edit->isVisible() &&
        edit->isEnabled()) {
        switch (static_cast<QFocusEvent*>(event)->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
            EditNextField();
            break;
        case Qt::PopupFocusReason:        // the edit box's own context menu
        case Qt::ActiveWindowFocusReason: // a message box or another program took the focus
            break;
        default:
            SetText();
            break;
        }
    }
    return false;
}

bool FieldEdit::KeyPress(QKeyEvent* key) {
    switch (key->key()) {
    case Qt::Key_Escape:
        txtEdit->setText(Latin1(runtime_.State().EditCellText()));
        Hide();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        SetText();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        EditNextField();
        return true;
    default:
        break;
    }
    const QString inserted = key->text();
    if (inserted.isEmpty() || !inserted.front().isPrint())
        return false;
    const auto after = txtEdit->text().size() - txtEdit->selectedText().size() + inserted.size();
    return !runtime_.Session()->KeyInsertAllowed(static_cast<int>(after));
}

bool FieldEdit::OnCheckBox(const QTreeView& list, QPoint at) {
    const auto* delegate = dynamic_cast<const PendingEditDelegate*>(list.itemDelegate());
    return delegate && delegate->OnCheckBox(list, list.indexAt(at), at);
}

void FieldEdit::StartEdit(QPoint at) {
    QTreeView* list = ltvListView;
    const QModelIndexList selected = list->selectionModel()->selectedRows();
    const int row = selected.isEmpty() ? 0 : selected.first().row() + 1;
    bool onRow = false;
    if (row != 0) {
        const QRect item = list->visualRect(selected.first());
        onRow = item.top() <= at.y() && item.top() + item.height() >= at.y();
    }
    // Past the last column counts as the last column.
    int column = list->header()->logicalIndexAt(at.x()) + 1;
    if (column <= 0)
        column = ListViewFieldNumberColumnCount;
    if (const auto placement = runtime_.Session()->StartEdit(row, onRow, column))
        Show(*placement);
}

void FieldEdit::StartEditAt(int row, int column) {
    if (const auto placement = runtime_.Session()->StartEdit(row, true, column))
        Show(*placement);
}

void FieldEdit::FollowPalette() {
    // The application's palette, as it is now, not the list's pale selection colours; the text
    // in the highlight colour, readable on the base.
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Text, Readable(palette.color(QPalette::Highlight),
                                              palette.color(QPalette::Base), 7.0));
    txtEdit->setPalette(palette);
}

void FieldEdit::Show(const EditPlacement& placement) {
    FollowPalette();
    PlaceOverCell();
    txtEdit->setText(Latin1(placement.text));
    validator_->Opened(txtEdit->text());
    txtEdit->selectAll();
    txtEdit->show();
    txtEdit->setFocus(Qt::OtherFocusReason);
}

void FieldEdit::PlaceOverCell() {
    const int row = runtime_.State().EditRow();
    QTreeView* const list = ltvListView;
    QLineEdit* const edit = txtEdit;
    if (!list || !edit || row == 0)
        return;
    const QModelIndex cell = list->model()->index(row - 1, runtime_.State().editor.Column() - 1);
    const QRect visible = list->visualRect(cell).intersected(list->viewport()->rect());
    // A cell scrolled out of sight leaves the box where it was, still in view (the viewport
    // moves its children along with the cells).
    if (!visible.isEmpty())
        placed_ = visible;
    edit->setGeometry(placed_);
}

void FieldEdit::EditNextField() {
    Hide(); // what was typed is dropped
    const auto placement = runtime_.Session()->EditNextField();
    QTreeView* const list = ltvListView;
    if (!placement || !list)
        return;
    // Into view first; the editor is hidden, so this commits nothing.
    list->scrollTo(list->model()->index(placement->row - 1, placement->column - 1));
    Show(*placement);
}

void FieldEdit::SetText() {
    if (!txtEdit || committing_)
        return;
    Flag committing(committing_);
    const QString typed = txtEdit->text();
    const bool fits = FitsOneByte(typed);
    const std::string bytes = fits ? typed.toLatin1().toStdString() : typed.toStdString();
    if (runtime_.Session()->SetText(bytes, fits) == CommitResult::Accepted)
        Hide();
}

} // namespace tarnwick
