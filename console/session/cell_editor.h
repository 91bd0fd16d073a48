// The cell under edit, and which cells open the edit box. The cell belongs to a unit, not to a
// row number: a Refresh may give the row to another unit.
#pragma once

#include "console/table/unit_table.h"

#include <string>

namespace tarnwick {

// Where the edit box goes and what it starts with.
struct EditPlacement {
    int row = 0;
    int column = 0;
    std::string text;
    bool operator==(const EditPlacement&) const = default;
};

// The field a column shows.
int FieldAt(int column);
// Whether `field` of `row` opens the box: the addresses and host name always, the unit id when
// the unit has one, the serial number in the internal variant.
bool IsEditable(const UnitTable& table, int row, int field, bool internalMode);
// Tab from `field`: the next field in the order of the unit's reply, passing over the current
// IP address and Use DHCP. The box stays open only on the addresses and the host name.
int NextTabField(int field);
bool IsTabTarget(int field);

class CellEditor {
public:
    EditPlacement Open(const UnitTable& table, int row, int column);
    // The row of the unit under edit now; 0 when nothing is, or its unit has left the list.
    int Row(const UnitTable& table) const;
    // 0 before the first edit.
    int Column() const { return column_; }
    // The cell's text as the list shows it (Escape puts it back); empty when it is gone.
    std::string Text(const UnitTable& table) const;

private:
    UnitId unit_ = 0;
    int column_ = 0;
};

} // namespace tarnwick
