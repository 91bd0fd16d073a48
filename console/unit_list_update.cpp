#include "console/unit_list_update.h"

#include "console/list_columns.h"

namespace tarnwick {
namespace {

// What the unit reported, kept for Cancel All: field 10 is the check box, the rest are texts.
void Remember(UnitTable& table, int row, const ReplyField& entry) {
    if (entry.fieldNumber == FieldNumberUseDHCP)
        table.SetReportedChecked(row, entry.value == DHCPTextOn);
    else
        table.SetReportedText(row, ColumnOfField(entry.fieldNumber), entry.value);
}

void Show(UnitTable& table, int row, const ReplyField& entry) {
    if (entry.fieldNumber == FieldNumberUseDHCP)
        table.SetChecked(row, entry.value == DHCPTextOn);
    else
        table.SetText(row, ColumnOfField(entry.fieldNumber), entry.value);
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
        Remember(table, row, entry);
        Show(table, row, entry);
    }
}

void RefreshKnownRow(UnitTable& table, int row, const UnitReplyFields& fields) {
    for (const auto& entry : fields) {
        if (entry.fieldNumber < 1)
            continue;
        if (entry.fieldNumber == FieldNumberDeviceInformation) {
            Show(table, row, entry);
            continue;
        }
        Remember(table, row, entry);
        const Cell& cell = table.CellAt(row, ColumnOfField(entry.fieldNumber));
        // A coloured cell holds the user's pending value.
        if (cell.colour != ColourBlack)
            continue;
        Show(table, row, entry);
    }
}

} // namespace

int MatchRow(const UnitTable& table, const UnitReplyFields& fields) {
    return table.FindRowByMAC(fields[FieldNumberMACAddress - 1].value);
}

void ApplyIdentificationReply(UnitTable& table, const UnitReplyFields& fields,
                              std::string_view versionText) {
    const int matched = MatchRow(table, fields);
    if (matched == 0) {
        const int row = table.AppendRow(std::string(versionText));
        RowUpdate batch(table, row);
        FillNewRow(table, row, fields);
        return;
    }
    RowUpdate batch(table, matched);
    RefreshKnownRow(table, matched, fields);
}

void ApplyChangeReply(UnitTable& table, const UnitReplyFields& fields) {
    const int row = MatchRow(table, fields);
    if (row == 0)
        return;
    RowUpdate batch(table, row);
    for (const auto& entry : fields) {
        if (entry.fieldNumber < 1)
            continue;
        if (entry.fieldNumber != FieldNumberDeviceInformation) {
            const int column = ColumnOfField(entry.fieldNumber);
            table.SetColour(row, column, ColourBlack);
            table.SetBold(row, column, false);
            Remember(table, row, entry);
        }
        Show(table, row, entry);
    }
}

} // namespace tarnwick
