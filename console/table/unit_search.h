// Finding a unit by any text in its row.
#pragma once

#include "console/table/unit_table.h"

#include <string_view>

namespace tarnwick {

// The first row after `afterRow` (0: from the top), wrapping around to `afterRow` itself,
// with a cell that holds `text` in any letter case (Latin-1); 0 when none does. The row item's
// own text, the same in every row, is not searched.
int FindNextRow(const UnitTable& units, int afterRow, std::string_view text);

} // namespace tarnwick
