// The cell editor's decisions: selection by click, which cells open, Tab, and the commit.
#include "console/session/console_session.h"
#include "console/table/field_validation.h"

namespace tarnwick {

std::optional<EditPlacement> ConsoleSession::EditCell(int row, int column) {
    return state_.editor.Open(state_.units, row, column);
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
    state_.CurrentFieldNumber = FieldAt(column);
    if (!IsEditable(state_.units, selectedRow, state_.CurrentFieldNumber, state_.InternalMode))
        return std::nullopt;
    return EditCell(selectedRow, column);
}

bool ConsoleSession::SelectRow(int row) {
    // A disabled list takes no clicks and no keys.
    if (state_.shutDown || !state_.listEnabled || !state_.units.HasRow(row))
        return false;
    if (state_.SelectedUnitIndex() != row) {
        if (state_.SelectedUnitIndex() != -1)
            SendMSGUnselectUnit();
        SetSelectedUnit(row);
        SendMSGSelectUnit();
    }
    return true;
}

std::optional<EditPlacement> ConsoleSession::EditNextField() {
    const int field = NextTabField(state_.CurrentFieldNumber);
    state_.CurrentFieldNumber = field;
    const int row = state_.EditRow();
    if (!IsTabTarget(field) || row == 0)
        return std::nullopt;
    return EditCell(row, ColumnOfField(field));
}

bool ConsoleSession::KeyInsertAllowed(int lengthAfterKey) {
    const int column = state_.editor.Column();
    if (column == 0 || FieldAt(column) != FieldNumberSerialNumber ||
        lengthAfterKey <= SerialNumberLimit)
        return true;
    Show({MessageIcon::Exclamation, "", "Serial Number too long."}, MessageOrigin::Validation);
    return false;
}

CommitResult ConsoleSession::SetText(std::string_view typed, bool fitsOneByte) {
    const int row = state_.EditRow();
    // The unit has left the list (Refresh): its edit goes with it, never to another unit.
    if (row == 0 || state_.shutDown)
        return CommitResult::Accepted;
    const int column = state_.editor.Column();
    const std::string& shown = state_.units.CellAt(row, column).text;
    // What the unit reported, left as it was, is never refused.
    if (fitsOneByte && shown == typed)
        return CommitResult::Accepted;
    // The cell's own field: the tick's first selection may have moved CurrentFieldNumber.
    const int field = FieldAt(column);
    if (const auto message = ValidationMessage(field, typed, fitsOneByte)) {
        Show({MessageIcon::Exclamation, "", *message}, MessageOrigin::Validation);
        return CommitResult::Refused;
    }
    if (std::string text = CommittedText(field, typed); text != shown)
        MarkPendingEdit(row, column, text);
    return CommitResult::Accepted;
}

void ConsoleSession::MarkPendingEdit(int row, int column, std::string_view text) {
    state_.units.SetBold(row, column, true);
    state_.units.SetColour(row, column, ColourRed);
    state_.units.SetText(row, column, text);
    CountPendingChange();
}

} // namespace tarnwick
