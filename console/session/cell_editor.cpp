#include "console/session/cell_editor.h"

#include <cstddef>

namespace tarnwick {

int FieldAt(int column) {
    return FieldOfColumn[static_cast<std::size_t>(column - 1)];
}

bool IsTabTarget(int field) {
    switch (field) {
    case FieldNumberSavedIPAddress:
    case FieldNumberSubnetMask:
    case FieldNumberDefaultGateway:
    case FieldNumberDNSServer:
    case FieldNumberHostName:
        return true;
    default:
        return false;
    }
}

bool IsEditable(const UnitTable& table, int row, int field, bool internalMode) {
    if (IsTabTarget(field))
        return true;
    switch (field) {
    case FieldNumberUnitID:
        return !table.CellAt(row, ColumnUnitID).text.empty();
    case FieldNumberSerialNumber:
        return internalMode;
    default:
        return false;
    }
}

int NextTabField(int field) {
    ++field;
    if (field == FieldNumberIPAddress)
        return FieldNumberSavedIPAddress;
    if (field == FieldNumberUseDHCP)
        return FieldNumberDNSServer;
    return field;
}

EditPlacement CellEditor::Open(const UnitTable& table, int row, int column) {
    unit_ = table.Row(row).id;
    column_ = column;
    return {row, column, table.CellAt(row, column).text};
}

int CellEditor::Row(const UnitTable& table) const {
    return column_ == 0 ? 0 : table.RowOfUnit(unit_);
}

std::string CellEditor::Text(const UnitTable& table) const {
    const int row = Row(table);
    return row == 0 ? std::string() : table.CellAt(row, column_).text;
}

} // namespace tarnwick
