// Apply's walk over the units, and a resend's: one unit per step, in list order, passing over
// units that have left the list meanwhile.
#pragma once

#include "console/session/selection.h"
#include "console/table/unit_table.h"

#include <utility>
#include <vector>

namespace tarnwick {

class ApplyWalk {
public:
    // A walk over `units`, or over every one of `rowCount` rows when `units` is empty. False
    // while a walk is under way: a second press is ignored.
    bool Start(std::vector<UnitId> units, bool isApply, int rowCount, Selection selectedBefore);
    // The row of the next unit still listed; 0 when the walk has come to its end.
    int NextRow(const UnitTable& table);
    void Stop() { active_ = false; }
    bool Active() const { return active_; }
    bool IsApply() const { return isApply_; }
    // The unit selected when the walk began, selected again at its end.
    const Selection& SelectedBefore() const { return selectedBefore_; }
    // True once per Apply: its first change request begins a new round of results.
    bool TakeNewRound() { return std::exchange(newRound_, false); }

private:
    bool active_ = false;
    bool isApply_ = false;
    bool newRound_ = false;
    std::vector<UnitId> units_;
    Selection selectedBefore_;
    int steps_ = 0;
    int next_ = 0;
};

} // namespace tarnwick
