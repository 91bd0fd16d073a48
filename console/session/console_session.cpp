#include "console/session/console_session.h"

#include "console/requests/unit_request_builder.h"
#include "console/table/unit_list_update.h"
#include "protocol/datagram.h"

#include <utility>

namespace tarnwick {
namespace {

constexpr int IdentificationPeriodMs = 30000;

constexpr std::array<const char*, 10> SocketStateTexts = {
    "Closed",        "Open",       "Listening", "Connection pending",      "Resolving host",
    "Host resolved", "Connecting", "Connected", "Server is disconnecting", "Error"};

} // namespace

ConsoleSession::ConsoleSession(SessionListener& listener, bool internalMode, bool selectsFirstUnit)
    : sink_(listener), state_(internalMode), selectsFirstUnit_(selectsFirstUnit) {}

void ConsoleSession::StartUp() {
    state_.caption = state_.BaseCaption();
    sink_.CaptionChanged(state_.caption);
    state_.PendingChangeCount = 0;
    state_.units.Clear();
    state_.AutoSelectDone = false;
    state_.selection = {};
    SendABroadcastMessage(IdentificationRequest());
    state_.IdentifyElapsedMs = 0;
}

void ConsoleSession::ShutDown() {
    if (state_.shutDown)
        return;
    if (state_.SelectedUnitIndex() != -1)
        SendMSGUnselectUnit();
    state_.walk.Stop();
    state_.shutDown = true;
}

void ConsoleSession::SetHostNetworks(std::vector<std::string> resolved,
                                     const std::vector<NetworkInterface>& interfaces) {
    state_.host.Set(std::move(resolved), interfaces);
}

IntakeResult ConsoleSession::TakeDatagram(std::string_view bytes, std::string_view sender,
                                          TimeOfDay now) {
    DecodeDatagramInto(intake_, bytes, sender, state_.host.LocalAddresses());
    if (const auto* change = std::get_if<ChangeReply>(&intake_))
        TakeChangeReply(*change, sender, now);
    return Take(intake_);
}

void ConsoleSession::TakeChangeReply(const ChangeReply& reply, std::string_view sender,
                                     TimeOfDay time) {
    const std::string& mac = reply.fields[FieldNumberMACAddress - 1].value;
    const std::string now = TimeText(time);
    ChangeResults& results = state_.results;
    if (reply.valid) {
        if (results.Confirmed(mac, now))
            ResultMovedOn(mac);
        return;
    }
    // A reply that did not decode names its unit by the MAC it got to, or by where it came from
    // when only one waiting unit is there: units fresh from the factory share one address, and
    // then no one of them can be blamed.
    if (results.InvalidReply(mac, now))
        return;
    const UnitTable& units = state_.units;
    const std::string* only = nullptr;
    for (int row = 1; row <= units.UnitCount(); ++row) {
        const std::string& rowMac = units.CellAt(row, ColumnMACAddress).text;
        if (units.CellAt(row, ColumnIPAddress).text != sender || !results.Waiting(rowMac))
            continue;
        if (only)
            return;
        only = &rowMac;
    }
    if (only)
        results.InvalidReply(*only, now);
}

void ConsoleSession::ResultMovedOn(const std::string& mac) {
    sink_.ResultsChanged(state_.units.FindRowByMAC(mac));
}

IntakeResult ConsoleSession::Take(const IntakeOutcome& outcome) {
    if (const auto* report = std::get_if<MessageReport>(&outcome)) {
        Show(*report, MessageOrigin::Intake);
        return IntakeResult::Message;
    }
    if (const auto* id = std::get_if<IdentificationReply>(&outcome)) {
        state_.recovery.ReplyArrived();
        ApplyIdentificationReply(state_.units, id->fields, id->versionText);
        if (state_.selection.away &&
            id->fields[FieldNumberMACAddress - 1].value == state_.selection.mac)
            SelectAgain(state_.selection);
        return IntakeResult::IdentificationReply;
    }
    if (const auto* change = std::get_if<ChangeReply>(&outcome)) {
        if (change->valid)
            ApplyChangeReply(state_.units, change->fields);
        // Valid or not, and whether or not a row matched, the wait is over.
        state_.ReplyWaitTicks = 0;
        SetListEnabled(true);
        return change->valid ? IntakeResult::ChangeReply : IntakeResult::InvalidChangeReply;
    }
    return IntakeResult::Dropped;
}

void ConsoleSession::Show(const MessageReport& report, MessageOrigin origin) {
    if (!state_.shutDown && state_.messages.Admit(origin))
        sink_.ShowMessage(report, origin);
}

void ConsoleSession::SendABroadcastMessage(std::string message, std::string changeFor) {
    outbox_.push_back({std::move(message), std::move(changeFor)});
}

std::optional<OutgoingDatagram> ConsoleSession::PollTransmit() {
    if (outbox_.empty())
        return std::nullopt;
    OutgoingDatagram next = std::move(outbox_.front());
    outbox_.pop_front();
    return next;
}

void ConsoleSession::Transmitted(const OutgoingDatagram& datagram,
                                 const std::optional<SendFailure>& failure, TimeOfDay now) {
    if (!failure)
        state_.messages.SendSucceeded();
    else if (state_.messages.SendFailed())
        Show({MessageIcon::Critical, "Network Error", failure->what, TextEncoding::Utf8},
             MessageOrigin::Transport);
    // Out through one interface is out: its unit may answer.
    if (datagram.changeFor.empty() || (failure && !failure->partly))
        return;
    state_.results.Sent(datagram.changeFor, TimeText(now), ChangeReplyWaitTicks,
                        state_.walk.TakeNewRound());
    ResultMovedOn(datagram.changeFor);
}

void ConsoleSession::SetListEnabled(bool enabled) {
    if (std::exchange(state_.listEnabled, enabled) != enabled)
        sink_.ListEnabledChanged(enabled);
}

void ConsoleSession::SetButtonsEnabled(bool enabled) {
    if (std::exchange(state_.buttonsEnabled, enabled) != enabled)
        sink_.ButtonsEnabledChanged(enabled);
}

void ConsoleSession::SetSelectedUnit(int row) {
    const UnitTable& units = state_.units;
    state_.selection = {};
    if (units.HasRow(row))
        state_.selection = {units.Row(row).id, units.CellAt(row, ColumnMACAddress).text};
    sink_.HighlightChanged(units.HasRow(row) ? row : 0);
}

void ConsoleSession::SelectAgain(const Selection& selection) {
    int row = state_.units.RowOfUnit(selection.unit);
    if (row == 0 && (selection.unit != 0 || selection.away))
        row = state_.units.FindRowByMAC(selection.mac);
    if (row != 0 || (selection.unit == 0 && !selection.away)) {
        SetSelectedUnit(row == 0 ? -1 : row);
        return;
    }
    // Not back yet: nobody else is selected meanwhile.
    state_.selection = {0, selection.mac, true};
    sink_.HighlightChanged(0);
}

void ConsoleSession::CountPendingChange() {
    ++state_.PendingChangeCount;
    if (state_.PendingChangeCount > 0)
        SetButtonsEnabled(true);
}

void ConsoleSession::TimerOpenTick(SocketState socketState) {
    if (state_.shutDown)
        return;
    const std::string caption =
        state_.BaseCaption() + " - " + SocketStateTexts[static_cast<std::size_t>(socketState)];
    if (caption != state_.caption) {
        state_.caption = caption;
        sink_.CaptionChanged(caption);
    }

    if (state_.ReplyWaitTicks != 0 && --state_.ReplyWaitTicks == 0)
        SetListEnabled(true);
    for (const std::string& mac : state_.results.Tick())
        ResultMovedOn(mac);

    state_.IdentifyElapsedMs += TimerOpenIntervalMs;
    if (state_.IdentifyElapsedMs > IdentificationPeriodMs) {
        SendABroadcastMessage(IdentificationRequest());
        state_.IdentifyElapsedMs = 0;
        state_.recovery.CycleStarted();
        // A notice speaks of its own cycle.
        state_.notice.clear();
        return;
    }
    if (state_.recovery.Tick())
        SendABroadcastMessage(IdentificationRequest());

    if (state_.UnitCount() <= 0)
        return;
    if (selectsFirstUnit_ && state_.SelectedUnitIndex() == -1 && !state_.selection.away &&
        !state_.AutoSelectDone) {
        state_.CurrentFieldNumber = FieldNumberVendorManufacturer;
        SetSelectedUnit(1);
        state_.AutoSelectDone = true;
    }
    if (state_.SelectedUnitIndex() != -1)
        SendMSGSelectUnit();
}

void ConsoleSession::Refresh() {
    if (state_.shutDown)
        return;
    if (state_.SelectedUnitIndex() != -1) {
        state_.selection = {0, state_.selection.mac, true};
        sink_.HighlightChanged(0);
    }
    // The rule empties the list, pending marks and all: at least say so.
    const int discarded = state_.MarkedCells();
    state_.notice = discarded == 0 ? std::string()
                                   : "Refresh discarded " + std::to_string(discarded) +
                                         " pending change" + (discarded == 1 ? "" : "s");
    state_.results.EndRound();
    state_.units.Clear();
    SendABroadcastMessage(IdentificationRequest());
}

void ConsoleSession::SetFilterItemChecked(int item, bool checked) {
    if (item >= 0 && item < IdentificationFilterItemCount)
        state_.filterChecks[static_cast<std::size_t>(item)] = checked;
}

} // namespace tarnwick
