#include "console/session/apply_walk.h"

#include <cstddef>

namespace tarnwick {

bool ApplyWalk::Start(std::vector<UnitId> units, bool isApply, int rowCount,
                      Selection selectedBefore) {
    if (active_)
        return false;
    active_ = true;
    isApply_ = isApply;
    newRound_ = isApply;
    units_ = std::move(units);
    selectedBefore_ = std::move(selectedBefore);
    steps_ = units_.empty() ? rowCount : static_cast<int>(units_.size());
    next_ = 1;
    return true;
}

int ApplyWalk::NextRow(const UnitTable& table) {
    while (next_ <= steps_) {
        const int n = next_++;
        // A walk over every row knows rows; a resend knows units, whose rows a Refresh changes.
        const int row = units_.empty() ? (table.HasRow(n) ? n : 0)
                                       : table.RowOfUnit(units_[static_cast<std::size_t>(n - 1)]);
        if (row != 0)
            return row;
    }
    return 0;
}

} // namespace tarnwick
