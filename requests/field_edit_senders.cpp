// The FieldEdit operations that send requests for one unit.
#include "editing/field_edit.h"

#include "protocol/constants.h"
#include "protocol/list_columns.h"
#include "requests/unit_request_builder.h"

namespace tarnwick {

void FieldEdit::SetRowBold(int row, bool markedOnly) {
    for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column) {
        if (!markedOnly)
            table_.SetBold(row, column, false);
        else if (table_.CellAt(row, column).colour == ColourRed)
            table_.SetBold(row, column, true);
    }
}

void FieldEdit::SendUnitRequest(std::uint8_t functionCode, const std::string& version, int row) {
    const std::uint16_t filter = GetIdentificationFilterBits(
        table_, row, host_.IdentificationFilterChecks(),
        [this](const MessageReport& report) { host_.ShowMessage(report); });
    const auto request = BuildUnitRequest(functionCode, MessageClassSelectRequest, version, filter,
                                          0, table_, row, SelectColumnMap());
    if (request)
        host_.SendABroadcastMessage(*request);
}

void FieldEdit::SendMSGSelectUnit() {
    const int row = SelectedUnitIndex;
    if (!table_.HasRow(row))
        return;
    SetRowBold(row, true);
    SendUnitRequest(FunctionCodeSelectUnit, table_.Row(row).version, row);
}

void FieldEdit::SendMSGUnselectUnit() {
    const int row = SelectedUnitIndex;
    if (!table_.HasRow(row))
        return;
    SetRowBold(row, false);
    SendUnitRequest(FunctionCodeUnselectUnit, VersionNumbers001, row);
}

void FieldEdit::SendChanges(int row) {
    if (!table_.HasRow(row))
        return;
    const MessageSink report = [this](const MessageReport& r) { host_.ShowMessage(r); };
    const std::uint16_t change = GetChangedFieldBits(table_, row, report);
    if (change == 0)
        return;
    host_.StartReplyWait();
    const std::uint16_t filter =
        GetIdentificationFilterBits(table_, row, host_.IdentificationFilterChecks(), report);
    const auto request =
        BuildUnitRequest(FunctionCodeChangeSettings, MessageClassChangeRequest,
                         table_.Row(row).version, filter, change, table_, row, ChangeColumnMap());
    if (request)
        host_.SendABroadcastMessage(*request);
}

} // namespace tarnwick
