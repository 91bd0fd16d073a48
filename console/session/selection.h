// The selected unit is a unit, not a row number: a Refresh may give its row to another.
#pragma once

#include "console/table/unit_table.h"

#include <string>

namespace tarnwick {

struct Selection {
    UnitId unit = 0;   // 0: none
    std::string mac;   // how it is known again once it has left the list
    bool away = false; // left with a Refresh: selected again when it answers
};

} // namespace tarnwick
