// Apply walks the units one per turn of the event loop, and so does a resend; Cancel All and
// Discard Changes drop pending changes.
#include "console/session/console_session.h"

namespace tarnwick {

void ConsoleSession::Apply() {
    StartWalk({}, true);
}

void ConsoleSession::ResendUnconfirmed() {
    std::vector<UnitId> units;
    for (int row = 1; row <= state_.UnitCount(); ++row)
        if (state_.Resendable(row))
            units.push_back(state_.units.Row(row).id);
    if (!units.empty())
        StartWalk(std::move(units), false);
}

void ConsoleSession::ResendChanges(int row) {
    if (state_.units.HasRow(row))
        StartWalk({state_.units.Row(row).id}, false);
}

void ConsoleSession::StartWalk(std::vector<UnitId> units, bool apply) {
    if (state_.shutDown ||
        !state_.walk.Start(std::move(units), apply, state_.UnitCount(), state_.selection))
        return;
    state_.notice.clear();
    ApplyStep();
}

void ConsoleSession::ApplyStep() {
    if (!state_.walk.Active() || state_.shutDown)
        return;
    const int row = state_.walk.NextRow(state_.units);
    if (row == 0) {
        FinishApply();
        return;
    }
    if (state_.SelectedUnitIndex() != -1) {
        SendMSGUnselectUnit();
        sink_.HighlightChanged(0);
    }
    SetSelectedUnit(row);
    SendMSGSelectUnit();
    SendChanges(row);
}

void ConsoleSession::FinishApply() {
    SendMSGUnselectUnit();
    sink_.HighlightChanged(0);
    SelectAgain(state_.walk.SelectedBefore());
    if (state_.SelectedUnitIndex() != -1)
        SendMSGSelectUnit();
    if (state_.walk.IsApply()) {
        state_.PendingChangeCount = 0;
        SetButtonsEnabled(false);
    }
    state_.walk.Stop();
    sink_.ResultsChanged(0);
}

void ConsoleSession::DiscardRow(int row) {
    UnitTable& units = state_.units;
    const UnitRow& unit = units.Row(row);
    units.BeginRowUpdate(row);
    for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column) {
        if (!IsPending(units.CellAt(row, column)))
            continue;
        if (column == ColumnUseDHCP)
            units.SetChecked(row, unit.reportedChecked);
        else
            units.SetText(row, column, units.ReportedText(row, column));
        units.SetColour(row, column, ColourBlack);
        units.SetBold(row, column, false);
    }
    units.EndRowUpdate();
}

void ConsoleSession::CancelAll() {
    if (state_.shutDown)
        return;
    for (int row = 1; row <= state_.UnitCount(); ++row)
        DiscardRow(row);
    state_.PendingChangeCount = 0;
    SetButtonsEnabled(false);
}

void ConsoleSession::DiscardChanges(int row) {
    if (state_.shutDown || !state_.units.HasRow(row))
        return;
    DiscardRow(row);
    // The count says how many changes were made, not where: it ends when no mark is left.
    if (state_.MarkedCells() == 0) {
        state_.PendingChangeCount = 0;
        SetButtonsEnabled(false);
    }
}

} // namespace tarnwick
