#include "protocol/unit_list_update.h"

#include "protocol/list_columns.h"

namespace tarnwick {
namespace {

constexpr char DHCPOn[] = "TRUE";

int ColumnOfEntry(const ReplyField& entry) {
    return ColumnOfField(entry.fieldNumber);
}

// Scoped batch of one row's change notices.
class RowUpdate {
public:
    RowUpdate(UnitTable& table, int row) : table_(table) { table_.BeginRowUpdate(row); }
    ~RowUpdate() { table_.EndRowUpdate(); }
    RowUpdate(const RowUpdate&) = delete;
    RowUpdate& operator=(const RowUpdate&) = delete;

private:
    UnitTable& table_;
};

void FillNewRow(UnitTable& table, int row, const UnitReplyFields& fields) {
    for (const auto& entry : fields) {
        if (entry.fieldNumber < 1)
            continue;
        if (entry.fieldNumber == FieldNumberUseDHCP) {
            const bool on = entry.value == DHCPOn;
            table.SetChecked(row, on);
            table.SetReportedChecked(row, on);
            continue;
        }
        const int column = ColumnOfEntry(entry);
        table.SetText(row, column, entry.value);
        table.SetReportedText(row, column, entry.value);
    }
}

bool RefreshKnownRow(UnitTable& table, int row, const UnitReplyFields& fields) {
    bool changed = false;
    for (const auto& entry : fields) {
        if (entry.fieldNumber < 1)
            continue;
        if (entry.fieldNumber == FieldNumberUseDHCP) {
            const bool on = entry.value == DHCPOn;
            table.SetReportedChecked(row, on);
            if (table.CellAt(row, ListViewFieldNumberUseDHCPColumn).colour == ColourBlack) {
                table.SetChecked(row, on);
                changed = true;
            }
            continue;
        }
        const int column = ColumnOfEntry(entry);
        if (entry.fieldNumber == FieldNumberDeviceInformation) {
            table.SetText(row, column, entry.value);
            changed = true;
            continue;
        }
        table.SetReportedText(row, column, entry.value);
        const Cell& cell = table.CellAt(row, column);
        // A coloured cell holds the user's pending text.
        if (cell.colour == ColourBlack && cell.text != entry.value) {
            table.SetText(row, column, entry.value);
            changed = true;
        }
    }
    return changed;
}

} // namespace

int MatchRow(const UnitTable& table, const UnitReplyFields& fields) {
    return table.FindRowByMAC(fields[FieldNumberMACAddress - 1].value);
}

UpdateEffect ApplyIdentificationReply(UnitTable& table, const UnitReplyFields& fields,
                                      std::string_view versionText) {
    const int matched = MatchRow(table, fields);
    if (matched == 0) {
        const int row = table.AppendRow(std::string(versionText));
        RowUpdate batch(table, row);
        FillNewRow(table, row, fields);
        return {};
    }
    RowUpdate batch(table, matched);
    const bool changed = RefreshKnownRow(table, matched, fields);
    return {changed, true};
}

UpdateEffect ApplyChangeReply(UnitTable& table, const UnitReplyFields& fields) {
    const int row = MatchRow(table, fields);
    if (row == 0)
        return {};
    RowUpdate batch(table, row);
    for (const auto& entry : fields) {
        if (entry.fieldNumber < 1)
            continue;
        const int column = ColumnOfEntry(entry);
        if (entry.fieldNumber == FieldNumberDeviceInformation) {
            table.SetText(row, column, entry.value);
            continue;
        }
        table.SetColour(row, column, ColourBlack);
        table.SetBold(row, column, false);
        if (entry.fieldNumber == FieldNumberUseDHCP) {
            const bool on = entry.value == DHCPOn;
            table.SetChecked(row, on);
            table.SetReportedChecked(row, on);
        } else {
            table.SetText(row, column, entry.value);
            table.SetReportedText(row, column, entry.value);
        }
    }
    return {true, true};
}

} // namespace tarnwick
