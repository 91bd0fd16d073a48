#include "console/table/unit_list_update.h"

#include "console/table/list_columns.h"

namespace tarnwick {
namespace {

// What the unit reported: shown, unless the cell holds the user's pending value (then kept for
// Cancel All). Field 10 is the check box, the extras are always shown, the rest are texts.
void Take(UnitTable& table, int row, const ReplyField& entry) {
    if (entry.fieldNumber == FieldNumberDeviceInformation)
        table.SetText(row, ColumnDeviceInformation, entry.value);
    else if (entry.fieldNumber == FieldNumberUseDHCP)
        table.SetReportedChecked(row, entry.value == DHCPTextOn);
    else
        table.SetReportedText(row, ColumnOfField(entry.fieldNumber), entry.value);
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

} // namespace

int MatchRow(const UnitTable& table, const UnitReplyFields& fields) {
    return table.FindRowByMAC(fields[FieldNumberMACAddress - 1].value);
}

void ApplyIdentificationReply(UnitTable& table, const UnitReplyFields& fields,
                              std::string_view versionText) {
    int row = MatchRow(table, fields);
    if (row == 0)
        row = table.AppendRow(std::string(versionText));
    RowUpdate batch(table, row);
    for (const auto& entry : fields)
        if (entry.fieldNumber >= 1)
            Take(table, row, entry);
}

void ApplyChangeReply(UnitTable& table, const UnitReplyFields& fields) {
    const int row = MatchRow(table, fields);
    if (row == 0)
        return;
    RowUpdate batch(table, row);
    // The unit took the change: what it now reports is shown, in black.
    for (const auto& entry : fields) {
        if (entry.fieldNumber < 1)
            continue;
        if (entry.fieldNumber != FieldNumberDeviceInformation) {
            const int column = ColumnOfField(entry.fieldNumber);
            table.SetColour(row, column, ColourBlack);
            table.SetBold(row, column, false);
        }
        Take(table, row, entry);
    }
}

} // namespace tarnwick
