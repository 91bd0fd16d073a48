// Apply walks the units one per turn of the event loop, and so does a resend; Cancel All and
// Discard Changes drop pending changes.
#include "console/session/console_session.h"

namespace tarnwick {

void ConsoleSession::Apply() {
    StartWalk({}, true);
}

bool ConsoleSession::Resendable(int row) const {
    // Its changes discarded, a unit has nothing left to send.
    return results_.Unconfirmed(units_.CellAt(row, ListViewFieldNumberMACAddressColumn).text) &&
           MarkedCells(row) > 0;
}

void ConsoleSession::ResendUnconfirmed() {
    std::vector<UnitId> units;
    for (int row = 1; row <= UnitCount(); ++row)
        if (Resendable(row))
            units.push_back(units_.Row(row).id);
    if (!units.empty())
        StartWalk(std::move(units), false);
}

void ConsoleSession::ResendChanges(int row) {
    if (units_.HasRow(row))
        StartWalk({units_.Row(row).id}, false);
}

bool ConsoleSession::HasUnconfirmed() const {
    // Asked every tick: most of the time no unit has an unconfirmed change at all.
    if (!results_.AnyUnconfirmed())
        return false;
    for (int row = 1; row <= UnitCount(); ++row)
        if (Resendable(row))
            return true;
    return false;
}

void ConsoleSession::StartWalk(std::vector<UnitId> units, bool apply) {
    // A second press while a walk is under way is ignored.
    if (applying_ || shutDown_)
        return;
    applying_ = true;
    walkIsApply_ = apply;
    newRound_ = apply;
    notice_.clear();
    walkUnits_ = std::move(units);
    applySelectedBefore_ = selection_;
    applyRows_ = walkUnits_.empty() ? UnitCount() : static_cast<int>(walkUnits_.size());
    applyNext_ = 1;
    ApplyStep();
}

// The row the walk's step `n` stands for; 0 when it has left the list (a Refresh meanwhile).
int ConsoleSession::WalkRow(int n) const {
    if (walkUnits_.empty())
        return units_.HasRow(n) ? n : 0;
    return units_.RowOfUnit(walkUnits_[static_cast<std::size_t>(n - 1)]);
}

void ConsoleSession::ApplyStep() {
    if (!applying_ || shutDown_)
        return;
    while (applyNext_ <= applyRows_ && WalkRow(applyNext_) == 0)
        ++applyNext_;
    if (applyNext_ > applyRows_) {
        FinishApply();
        return;
    }
    const int row = WalkRow(applyNext_++);
    if (SelectedUnitIndex() != -1) {
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
    SelectAgain(applySelectedBefore_);
    if (SelectedUnitIndex() != -1)
        SendMSGSelectUnit();
    if (walkIsApply_) {
        pendingChangeCount_ = 0;
        SetButtonsEnabled(false);
    }
    applying_ = false;
    sink_.ResultsChanged(0);
}

void ConsoleSession::DiscardRow(int row) {
    const UnitRow& unit = units_.Row(row);
    units_.BeginRowUpdate(row);
    for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column) {
        if (!IsPending(units_.CellAt(row, column)))
            continue;
        if (column == ListViewFieldNumberUseDHCPColumn)
            units_.SetChecked(row, unit.reportedChecked);
        else
            units_.SetText(row, column, units_.ReportedText(row, column));
        units_.SetColour(row, column, ColourBlack);
        units_.SetBold(row, column, false);
    }
    units_.EndRowUpdate();
}

void ConsoleSession::CancelAll() {
    if (shutDown_)
        return;
    for (int row = 1; row <= UnitCount(); ++row)
        DiscardRow(row);
    pendingChangeCount_ = 0;
    SetButtonsEnabled(false);
}

void ConsoleSession::DiscardChanges(int row) {
    if (shutDown_ || !units_.HasRow(row))
        return;
    DiscardRow(row);
    // The count says how many changes were made, not where: it ends when no mark is left.
    if (MarkedCells() == 0) {
        pendingChangeCount_ = 0;
        SetButtonsEnabled(false);
    }
}

int ConsoleSession::MarkedCells(int row) const {
    int marked = 0;
    for (const Cell& cell : units_.Row(row).cells)
        marked += IsPending(cell) ? 1 : 0;
    return marked;
}

int ConsoleSession::MarkedCells() const {
    int marked = 0;
    for (int row = 1; row <= UnitCount(); ++row)
        marked += MarkedCells(row);
    return marked;
}

} // namespace tarnwick
