#include "editing/field_edit.h"

#include "editing/field_validation.h"
#include "editing/mod_sub_class.h"
#include "protocol/constants.h"
#include "protocol/list_columns.h"

#include <QEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTreeView>

namespace tarnwick {
namespace {

constexpr int SerialNumberLimit = 8;

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

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

bool FitsOneByte(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

// The fields Tab moves between; always editable.
bool IsTabTarget(int field) {
    switch (field) {
    case FieldNumberSavedIPAddress:
    case FieldNumberSubnetMask:
    case FieldNumberDefaultGateway:
    case FieldNumberDNSServer:
    case FieldNumberHostName:
        return true;
    default:
        return false;
    }
}

} // namespace

FieldEdit::FieldEdit(FieldEditHost& host, UnitTable& table) : host_(host), table_(table) {}

FieldEdit::~FieldEdit() {
    if (listViewport_)
        listViewport_->removeEventFilter(this);
    if (txtEdit)
        txtEdit->removeEventFilter(this);
    if (ltvListView)
        modSubClass::UnhookWindow(ltvListView);
}

void FieldEdit::Init(QWidget* /*form*/, QTreeView* listView) {
    ltvListView = listView;
    // In the list's viewport, so the list clips it like its own cells.
    txtEdit = new QLineEdit(listView->viewport());
    txtEdit->setObjectName("txtLabelEdit_" + listView->objectName());
    txtEdit->hide();
    txtEdit->setFont(listView->font());
    txtEdit->setFrame(false);
    QPalette palette = txtEdit->palette();
    palette.setColor(QPalette::Text, palette.color(QPalette::Highlight));
    txtEdit->setPalette(palette);
    txtEdit->installEventFilter(this);
    listViewport_ = listView->viewport();
    listViewport_->installEventFilter(this);
    SelectedUnitIndex = -1;
    modSubClass::HookWindow(listView, this);
}

bool FieldEdit::IsEditing() const {
    return txtEdit && txtEdit->isVisible();
}

void FieldEdit::HideEditBox() {
    if (!txtEdit)
        return;
    Flag quiet(quiet_);
    txtEdit->hide();
}

void FieldEdit::ShowMessage(const std::string& text) {
    Flag quiet(quiet_);
    host_.ShowMessage({MessageIcon::Exclamation, "", text});
    if (IsEditing())
        txtEdit->setFocus();
}

bool FieldEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == listViewport_ && event->type() == QEvent::MouseButtonRelease) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        StartEdit(at.x(), at.y());
        return false;
    }
    if (watched != txtEdit)
        return false;
    if (event->type() == QEvent::KeyPress)
        return EditorKeyPress(static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::FocusOut && !quiet_ && !committing_ && IsEditing()) {
        switch (static_cast<QFocusEvent*>(event)->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
            EditNextField();
            break;
        case Qt::PopupFocusReason:        // the edit box's own context menu
        case Qt::ActiveWindowFocusReason: // another program took the focus
            break;
        default:
            SetText();
            break;
        }
    }
    return false;
}

bool FieldEdit::EditorKeyPress(QKeyEvent* key) {
    switch (key->key()) {
    case Qt::Key_Escape:
        if (table_.HasRow(CurrentCell.row))
            txtEdit->setText(Latin1(table_.CellAt(CurrentCell.row, CurrentCell.column).text));
        HideEditBox();
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
    if (CurrentFieldNumber == FieldNumberSerialNumber &&
        txtEdit->text().size() >= SerialNumberLimit) {
        QString text = txtEdit->text();
        text.chop(1);
        txtEdit->setText(text);
        ShowMessage("Serial Number too long.");
    }
    return false;
}

bool FieldEdit::IsEditable(int field, int row) const {
    if (IsTabTarget(field))
        return true;
    switch (field) {
    case FieldNumberUnitID:
        return !table_.CellAt(row, ListViewFieldNumberUnitIDColumn).text.empty();
    case FieldNumberSerialNumber:
        return host_.IsInternalMode();
    default:
        return false;
    }
}

void FieldEdit::StartEdit(int x, int y) {
    QTreeView* list = ltvListView;
    const QModelIndexList selected = list->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return; // nothing selected: no editor, no message
    const int r = selected.first().row() + 1;

    if (SelectedUnitIndex != r) {
        if (SelectedUnitIndex != -1)
            SendMSGUnselectUnit();
        SelectedUnitIndex = r;
        SendMSGSelectUnit();
        list->viewport()->update();
    }

    const QRect item = list->visualRect(selected.first());
    if (!(item.top() <= y && item.top() + item.height() >= y)) {
        SendMSGUnselectUnit();
        list->selectionModel()->clear();
        SelectedUnitIndex = -1;
        return;
    }

    // Past the last column counts as the last column.
    int column = list->header()->logicalIndexAt(x) + 1;
    if (column <= 0)
        column = ListViewFieldNumberColumnCount;
    const int field = FieldOfColumn[static_cast<std::size_t>(column - 1)];
    CurrentFieldNumber = field;
    if (!IsEditable(field, r))
        return;
    CurrentCell = {r, column};
    PlaceEditor();
}

void FieldEdit::PlaceEditor() {
    QTreeView* list = ltvListView;
    if (!list || !table_.HasRow(CurrentCell.row))
        return;
    const QModelIndex cell = list->model()->index(CurrentCell.row - 1, CurrentCell.column - 1);
    txtEdit->setGeometry(list->visualRect(cell).intersected(list->viewport()->rect()));
    txtEdit->setText(Latin1(table_.CellAt(CurrentCell.row, CurrentCell.column).text));
    txtEdit->selectAll();
    txtEdit->show();
    txtEdit->setFocus(Qt::OtherFocusReason);
}

void FieldEdit::FollowCell() {
    if (IsEditing() && ltvListView && table_.HasRow(CurrentCell.row)) {
        const QModelIndex cell =
            ltvListView->model()->index(CurrentCell.row - 1, CurrentCell.column - 1);
        txtEdit->setGeometry(
            ltvListView->visualRect(cell).intersected(ltvListView->viewport()->rect()));
    }
}

void FieldEdit::EditNextField() {
    HideEditBox(); // what was typed is dropped
    int field = CurrentFieldNumber + 1;
    if (field == FieldNumberIPAddress)
        field = FieldNumberSavedIPAddress;
    else if (field == FieldNumberUseDHCP)
        field = FieldNumberDNSServer;
    CurrentFieldNumber = field;
    if (!IsTabTarget(field))
        return;
    CurrentCell = {SelectedUnitIndex, ColumnOfField(field)};
    if (!ltvListView || !table_.HasRow(CurrentCell.row))
        return;
    // Bring the next cell into view first; the editor is hidden, so this commits nothing.
    ltvListView->scrollTo(ltvListView->model()->index(CurrentCell.row - 1, CurrentCell.column - 1));
    PlaceEditor();
}

void FieldEdit::SetText() {
    if (!txtEdit || committing_)
        return;
    Flag committing(committing_);
    const QString typed = txtEdit->text();
    const bool fits = FitsOneByte(typed);
    const std::string bytes = fits ? typed.toLatin1().toStdString() : typed.toStdString();
    if (const auto message = ValidationMessage(CurrentFieldNumber, bytes, fits)) {
        ShowMessage(*message); // the editor stays open with the text as typed
        return;
    }
    const auto [row, column] = CurrentCell;
    const bool rowExists = table_.HasRow(row);
    if (rowExists && table_.CellAt(row, column).text == bytes) {
        HideEditBox();
        return;
    }
    // A row removed meanwhile is skipped; the rest still happens.
    if (rowExists) {
        table_.SetBold(row, column, true);
        table_.SetColour(row, column, ColourRed);
        table_.SetText(row, column, bytes);
    }
    HideEditBox();
    host_.CountPendingChange();
}

} // namespace tarnwick
