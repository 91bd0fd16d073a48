// The requests for one unit, and the check box that selects and marks it.
#include "console/session/console_session.h"
#include "console/requests/unit_request_builder.h"

#include <utility>

namespace tarnwick {

void ConsoleSession::SetRowBold(int row, bool markedOnly) {
    for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column) {
        if (!markedOnly)
            units_.SetBold(row, column, false);
        else if (IsPending(units_.CellAt(row, column)))
            units_.SetBold(row, column, true);
    }
}

void ConsoleSession::SendUnitRequest(std::uint8_t functionCode, const std::string& version,
                                     int row) {
    const std::uint16_t filter = GetIdentificationFilterBits(
        units_, row, IdentificationFilterChecks(),
        [this](const MessageReport& r) { Show(r, MessageOrigin::Request); });
    auto request = BuildUnitRequest(functionCode, MessageClassSelectRequest, version, filter, 0,
                                    units_, row, SelectColumnMap());
    if (request)
        SendABroadcastMessage(std::move(*request));
}

void ConsoleSession::SendMSGSelectUnit() {
    const int row = SelectedUnitIndex();
    if (!units_.HasRow(row))
        return;
    SetRowBold(row, true);
    SendUnitRequest(FunctionCodeSelectUnit, units_.Row(row).version, row);
}

void ConsoleSession::SendMSGUnselectUnit() {
    const int row = SelectedUnitIndex();
    if (!units_.HasRow(row))
        return;
    SetRowBold(row, false);
    SendUnitRequest(FunctionCodeUnselectUnit, VersionNumbers001, row);
}

void ConsoleSession::SendChanges(int row) {
    if (!units_.HasRow(row))
        return;
    const MessageSink report = [this](const MessageReport& r) { Show(r, MessageOrigin::Request); };
    const std::uint16_t change = GetChangedFieldBits(units_, row, report);
    if (change == 0)
        return;
    SetListEnabled(false);
    replyWaitTicks_ = ChangeReplyWaitTicks;
    const std::uint16_t filter =
        GetIdentificationFilterBits(units_, row, IdentificationFilterChecks(), report);
    const auto request =
        BuildUnitRequest(FunctionCodeChangeSettings, MessageClassChangeRequest,
                         units_.Row(row).version, filter, change, units_, row, ChangeColumnMap());
    if (request)
        SendABroadcastMessage(*request,
                              units_.CellAt(row, ListViewFieldNumberMACAddressColumn).text);
}

void ConsoleSession::RowCheckBoxChanged(int row, bool checked) {
    // A disabled list takes no clicks.
    if (shutDown_ || !listEnabled_ || !units_.HasRow(row))
        return;
    units_.SetChecked(row, checked);
    if (SelectedUnitIndex() != -1)
        SendMSGUnselectUnit();
    if (SelectedUnitIndex() != row) {
        SetSelectedUnit(row);
        SendMSGSelectUnit();
    }
    ToggleCheckBoxMark(SelectedUnitIndex());
}

void ConsoleSession::ToggleCheckBoxMark(int row) {
    const bool red = IsPending(units_.CellAt(row, ListViewFieldNumberUseDHCPColumn));
    units_.SetColour(row, ListViewFieldNumberUseDHCPColumn, red ? ColourBlack : ColourRed);
    units_.SetBold(row, ListViewFieldNumberUseDHCPColumn, !red);
    CountPendingChange();
}

} // namespace tarnwick
