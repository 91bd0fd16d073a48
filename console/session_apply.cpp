// Apply walks the units one per turn of the event loop; Cancel All drops every pending change.
#include "console/console_session.h"

namespace tarnwick {

void ConsoleSession::Apply() {
    // A second press while a walk is under way is ignored.
    if (applying_ || shutDown_)
        return;
    applying_ = true;
    applySelectedBefore_ = selection_;
    applyRows_ = UnitCount();
    applyNext_ = 1;
    ApplyStep();
}

void ConsoleSession::ApplyStep() {
    if (!applying_ || shutDown_)
        return;
    // A Refresh meanwhile may have emptied the list: rows that are gone are skipped.
    while (applyNext_ <= applyRows_ && !units_.HasRow(applyNext_))
        ++applyNext_;
    if (applyNext_ > applyRows_) {
        FinishApply();
        return;
    }
    const int row = applyNext_++;
    if (SelectedUnitIndex() != -1) {
        SendMSGUnselectUnit();
        sink_.HighlightChanged(0);
    }
    SetSelectedUnit(row);
    SendMSGSelectUnit();
    SendChanges(row);
    sink_.ApplyStepDue();
}

void ConsoleSession::FinishApply() {
    SendMSGUnselectUnit();
    sink_.HighlightChanged(0);
    SelectAgain(applySelectedBefore_);
    if (SelectedUnitIndex() != -1)
        SendMSGSelectUnit();
    pendingChangeCount_ = 0;
    SetButtonsEnabled(false);
    applying_ = false;
}

void ConsoleSession::CancelAll() {
    if (shutDown_)
        return;
    for (int row = 1; row <= UnitCount(); ++row) {
        const UnitRow& unit = units_.Row(row);
        units_.BeginRowUpdate(row);
        for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column) {
            if (units_.CellAt(row, column).colour == ColourBlack)
                continue;
            if (column == ListViewFieldNumberUseDHCPColumn)
                units_.SetChecked(row, unit.reportedChecked);
            else
                units_.SetText(row, column,
                               unit.reportedText[static_cast<std::size_t>(column - 1)]);
            units_.SetColour(row, column, ColourBlack);
            units_.SetBold(row, column, false);
        }
        units_.EndRowUpdate();
    }
    pendingChangeCount_ = 0;
    SetButtonsEnabled(false);
}

} // namespace tarnwick
