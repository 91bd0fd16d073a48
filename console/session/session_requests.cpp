// The requests for one unit, and the check box that selects and marks it.
#include "console/requests/unit_request_builder.h"
#include "console/session/console_session.h"

#include <utility>

namespace tarnwick {

void ConsoleSession::SetRowBold(int row, bool markedOnly) {
    for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column) {
        if (!markedOnly)
            state_.units.SetBold(row, column, false);
        else if (IsPending(state_.units.CellAt(row, column)))
            state_.units.SetBold(row, column, true);
    }
}

void ConsoleSession::SendUnitRequest(std::uint8_t functionCode, const std::string& version,
                                     int row) {
    const std::uint16_t filter = GetIdentificationFilterBits(
        state_.units, row, state_.IdentificationFilterChecks(),
        [this](const MessageReport& r) { Show(r, MessageOrigin::Request); });
    auto request = BuildUnitRequest(functionCode, MessageClassSelectRequest, version, filter, 0,
                                    state_.units, row, SelectColumnMap());
    if (request)
        SendABroadcastMessage(std::move(*request));
}

void ConsoleSession::SendMSGSelectUnit() {
    const int row = state_.SelectedUnitIndex();
    if (!state_.units.HasRow(row))
        return;
    SetRowBold(row, true);
    SendUnitRequest(FunctionCodeSelectUnit, state_.units.Row(row).version, row);
}

void ConsoleSession::SendMSGUnselectUnit() {
    const int row = state_.SelectedUnitIndex();
    if (!state_.units.HasRow(row))
        return;
    SetRowBold(row, false);
    SendUnitRequest(FunctionCodeUnselectUnit, VersionNumbers001, row);
}

void ConsoleSession::SendChanges(int row) {
    if (!state_.units.HasRow(row))
        return;
    const MessageSink report = [this](const MessageReport& r) { Show(r, MessageOrigin::Request); };
    const std::uint16_t change = GetChangedFieldBits(state_.units, row, report);
    if (change == 0)
        return;
    SetListEnabled(false);
    state_.ReplyWaitTicks = ChangeReplyWaitTicks;
    const std::uint16_t filter =
        GetIdentificationFilterBits(state_.units, row, state_.IdentificationFilterChecks(), report);
    const auto request = BuildUnitRequest(FunctionCodeChangeSettings, MessageClassChangeRequest,
                                          state_.units.Row(row).version, filter, change,
                                          state_.units, row, ChangeColumnMap());
    if (request)
        SendABroadcastMessage(*request, state_.units.CellAt(row, ColumnMACAddress).text);
}

void ConsoleSession::RowCheckBoxChanged(int row, bool checked) {
    // A disabled list takes no clicks.
    if (state_.shutDown || !state_.listEnabled || !state_.units.HasRow(row))
        return;
    state_.units.SetChecked(row, checked);
    if (state_.SelectedUnitIndex() != -1)
        SendMSGUnselectUnit();
    if (state_.SelectedUnitIndex() != row) {
        SetSelectedUnit(row);
        SendMSGSelectUnit();
    }
    ToggleCheckBoxMark(state_.SelectedUnitIndex());
}

void ConsoleSession::ToggleCheckBoxMark(int row) {
    const bool red = IsPending(state_.units.CellAt(row, ColumnUseDHCP));
    state_.units.SetColour(row, ColumnUseDHCP, red ? ColourBlack : ColourRed);
    state_.units.SetBold(row, ColumnUseDHCP, !red);
    CountPendingChange();
}

} // namespace tarnwick
