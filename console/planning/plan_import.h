// A site plan read from a spreadsheet's CSV file: which pending edits it asks for.
#pragma once

#include "console/table/unit_table.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// One edit as typing or a click on the check box would make it.
struct PlannedEdit {
    int row = 0;
    int column = 0;   // the "Use DHCP" column: the check box
    std::string text; // Latin-1
    bool checked = false;
    bool operator==(const PlannedEdit&) const = default;
};

struct ImportResult {
    // "Line 3, Subnet Mask: Incorrect Subnet mask." (UTF-8); any one refuses the whole file.
    std::vector<std::string> problems;
    std::vector<std::string> unknownMacs; // in the file but not in the list (UTF-8)
    std::vector<int> plannedRows;         // the listed units the file names, in its order
    std::vector<PlannedEdit> edits;       // made pending only when nothing was refused
    // Cells kept as their units have them: the plan's value is the unit's with the leading zeros
    // a spreadsheet drops when it takes a text for a number ("Line 3, Unit ID").
    std::vector<std::string> droppedZeros;
};

// Rows are found by "MAC Address"; only the columns a user may edit are read (Serial Number
// only when `serialNumbers`), every value is checked as typing checks it, and a blank cell or a
// value equal to the cell is no edit. `editable(field, row)` is the editor's own rule.
ImportResult ReadPlan(std::string_view file, const UnitTable& units, bool serialNumbers,
                      const std::function<bool(int field, int row)>& editable);

// What the user should know of a plan that was taken (UTF-8 lines); empty when nothing.
std::string ImportNotes(const ImportResult& result);

} // namespace tarnwick
