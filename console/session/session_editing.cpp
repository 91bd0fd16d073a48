// The cell editor's decisions: selection by click, which cells open, Tab, and the commit.
#include "console/session/console_session.h"
#include "console/table/field_validation.h"

namespace tarnwick {
namespace {

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

int FieldAt(int column) {
    return FieldOfColumn[static_cast<std::size_t>(column - 1)];
}

} // namespace

bool ConsoleSession::IsEditable(int field, int row) const {
    if (IsTabTarget(field))
        return true;
    switch (field) {
    case FieldNumberUnitID:
        return !units_.CellAt(row, ListViewFieldNumberUnitIDColumn).text.empty();
    case FieldNumberSerialNumber:
        return internalMode_;
    default:
        return false;
    }
}

std::optional<EditPlacement> ConsoleSession::EditCell(int row, int column) {
    editUnit_ = units_.Row(row).id;
    editColumn_ = column;
    return EditPlacement{row, column, units_.CellAt(row, column).text};
}

int ConsoleSession::EditRow() const {
    return editColumn_ == 0 ? 0 : units_.RowOfUnit(editUnit_);
}

std::string ConsoleSession::EditCellText() const {
    const int row = EditRow();
    return row == 0 ? std::string() : units_.CellAt(row, editColumn_).text;
}

std::optional<EditPlacement> ConsoleSession::StartEdit(int selectedRow, bool onSelectedRow,
                                                       int column) {
    // A release while no row is selected does nothing.
    if (column < 1 || column > ListViewFieldNumberColumnCount || !SelectRow(selectedRow))
        return std::nullopt;
    if (!onSelectedRow) {
        SendMSGUnselectUnit();
        SetSelectedUnit(-1);
        return std::nullopt;
    }
    currentFieldNumber_ = FieldAt(column);
    if (!IsEditable(currentFieldNumber_, selectedRow))
        return std::nullopt;
    return EditCell(selectedRow, column);
}

bool ConsoleSession::SelectRow(int row) {
    // A disabled list takes no clicks and no keys.
    if (shutDown_ || !listEnabled_ || !units_.HasRow(row))
        return false;
    if (SelectedUnitIndex() != row) {
        if (SelectedUnitIndex() != -1)
            SendMSGUnselectUnit();
        SetSelectedUnit(row);
        SendMSGSelectUnit();
    }
    return true;
}

std::optional<EditPlacement> ConsoleSession::EditNextField() {
    int field = currentFieldNumber_ + 1;
    if (field == FieldNumberIPAddress)
        field = FieldNumberSavedIPAddress;
    else if (field == FieldNumberUseDHCP)
        field = FieldNumberDNSServer;
    currentFieldNumber_ = field;
    const int row = EditRow();
    if (!IsTabTarget(field) || row == 0)
        return std::nullopt;
    return EditCell(row, ColumnOfField(field));
}

bool ConsoleSession::KeyInsertAllowed(int lengthAfterKey) {
    if (editColumn_ == 0 || FieldAt(editColumn_) != FieldNumberSerialNumber ||
        lengthAfterKey <= SerialNumberLimit)
        return true;
    Show({MessageIcon::Exclamation, "", "Serial Number too long."}, MessageOrigin::Validation);
    return false;
}

CommitResult ConsoleSession::SetText(std::string_view typed, bool fitsOneByte) {
    const int row = EditRow();
    // The unit has left the list (Refresh): its edit goes with it, never to another unit.
    if (row == 0 || shutDown_)
        return CommitResult::Accepted;
    // What the unit reported, left as it was, is never refused.
    if (fitsOneByte && units_.CellAt(row, editColumn_).text == typed)
        return CommitResult::Accepted;
    // The cell's own field: the tick's first selection may have moved CurrentFieldNumber.
    const int field = FieldAt(editColumn_);
    if (const auto message = ValidationMessage(field, typed, fitsOneByte)) {
        Show({MessageIcon::Exclamation, "", *message}, MessageOrigin::Validation);
        return CommitResult::Refused;
    }
    if (std::string text = CommittedText(field, typed);
        text != units_.CellAt(row, editColumn_).text)
        MarkPendingEdit(row, editColumn_, text);
    return CommitResult::Accepted;
}

void ConsoleSession::MarkPendingEdit(int row, int column, std::string_view text) {
    units_.SetBold(row, column, true);
    units_.SetColour(row, column, ColourRed);
    units_.SetText(row, column, text);
    CountPendingChange();
}

} // namespace tarnwick
