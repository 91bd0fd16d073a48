#include "console/session/console_session.h"

#include "console/table/unit_list_update.h"
#include "console/requests/unit_request_builder.h"
#include "protocol/datagram.h"

#include <algorithm>
#include <utility>

namespace tarnwick {
namespace {

constexpr int IdentificationPeriodMs = 30000;

constexpr char CaptionNormal[] = "Lumivar Network Tarnwick";
constexpr char CaptionInternal[] = "Lumivar Network Tarnwick - Internal Version";
constexpr std::array<const char*, 10> SocketStateTexts = {
    "Closed",        "Open",       "Listening", "Connection pending",      "Resolving host",
    "Host resolved", "Connecting", "Connected", "Server is disconnecting", "Error"};

} // namespace

ConsoleSession::ConsoleSession(SessionListener& listener, bool internalMode)
    : sink_(listener), internalMode_(internalMode) {
    for (std::size_t i = 0; i < filterChecks_.size(); ++i)
        filterChecks_[i] = IdentificationFilterMenu[i].checkedAtStart;
}

std::string ConsoleSession::BaseCaption() const {
    return internalMode_ ? CaptionInternal : CaptionNormal;
}

void ConsoleSession::StartUp() {
    caption_ = BaseCaption();
    sink_.CaptionChanged(caption_);
    pendingChangeCount_ = 0;
    units_.Clear();
    autoSelectDone_ = false;
    selection_ = {};
    SendABroadcastMessage(IdentificationRequest());
    identifyElapsedMs_ = 0;
}

void ConsoleSession::ShutDown() {
    if (shutDown_)
        return;
    if (SelectedUnitIndex() != -1)
        SendMSGUnselectUnit();
    applying_ = false;
    shutDown_ = true;
}

void ConsoleSession::SetHostNetworks(std::vector<std::string> resolved,
                                     const std::vector<NetworkInterface>& interfaces) {
    localAddresses_ = std::move(resolved);
    for (const std::string& address : InterfaceAddresses(interfaces))
        if (std::find(localAddresses_.begin(), localAddresses_.end(), address) ==
            localAddresses_.end())
            localAddresses_.push_back(address);
    localSubnets_ = UpSubnets(interfaces);
}

IntakeResult ConsoleSession::TakeDatagram(std::string_view bytes, std::string_view sender,
                                          TimeOfDay now) {
    DecodeDatagramInto(intake_, bytes, sender, localAddresses_);
    if (const auto* change = std::get_if<ChangeReply>(&intake_))
        TakeChangeReply(*change, sender, now);
    return Take(intake_);
}

void ConsoleSession::TakeChangeReply(const ChangeReply& reply, std::string_view sender,
                                     TimeOfDay time) {
    const std::string& mac = reply.fields[FieldNumberMACAddress - 1].value;
    const std::string now = TimeText(time);
    if (reply.valid) {
        if (results_.Confirmed(mac, now))
            ResultMovedOn(mac);
        return;
    }
    // A reply that did not decode names its unit by the MAC it got to, or by where it came from
    // when only one waiting unit is there: units fresh from the factory share one address, and
    // then no one of them can be blamed.
    if (results_.InvalidReply(mac, now))
        return;
    const std::string* only = nullptr;
    for (int row = 1; row <= UnitCount(); ++row) {
        const std::string& rowMac = units_.CellAt(row, ListViewFieldNumberMACAddressColumn).text;
        if (units_.CellAt(row, ColumnOfField(FieldNumberIPAddress)).text != sender ||
            !results_.Waiting(rowMac))
            continue;
        if (only)
            return;
        only = &rowMac;
    }
    if (only)
        results_.InvalidReply(*only, now);
}

void ConsoleSession::ResultMovedOn(const std::string& mac) {
    sink_.ResultsChanged(units_.FindRowByMAC(mac));
}

const ChangeResult* ConsoleSession::ResultOf(int row) const {
    return units_.HasRow(row)
               ? results_.Find(units_.CellAt(row, ListViewFieldNumberMACAddressColumn).text)
               : nullptr;
}

std::string ConsoleSession::StatusText() const {
    // No notice hides another, nor the sum of the last Apply.
    std::string text;
    for (const std::string& part : {results_.RoundText(), notice_, recovery_.Text()})
        if (!part.empty())
            text += (text.empty() ? "" : " \u00b7 ") + part;
    if (!text.empty())
        return text;
    return std::to_string(UnitCount()) + (UnitCount() == 1 ? " unit" : " units");
}

IntakeResult ConsoleSession::Take(const IntakeOutcome& outcome) {
    if (const auto* report = std::get_if<MessageReport>(&outcome)) {
        Show(*report, MessageOrigin::Intake);
        return IntakeResult::Message;
    }
    if (const auto* id = std::get_if<IdentificationReply>(&outcome)) {
        recovery_.ReplyArrived();
        ApplyIdentificationReply(units_, id->fields, id->versionText);
        if (selection_.away && id->fields[FieldNumberMACAddress - 1].value == selection_.mac)
            SelectAgain(selection_);
        return IntakeResult::IdentificationReply;
    }
    if (const auto* change = std::get_if<ChangeReply>(&outcome)) {
        if (change->valid)
            ApplyChangeReply(units_, change->fields);
        // Valid or not, and whether or not a row matched, the wait is over.
        replyWaitTicks_ = 0;
        SetListEnabled(true);
        return change->valid ? IntakeResult::ChangeReply : IntakeResult::InvalidChangeReply;
    }
    return IntakeResult::Dropped;
}

void ConsoleSession::Show(const MessageReport& report, MessageOrigin origin) {
    if (shutDown_)
        return;
    // A flood of bad datagrams or ticks must not stack boxes.
    bool& open = messageOpen_[static_cast<std::size_t>(origin)];
    if (open) {
        ++suppressedMessages_;
        return;
    }
    open = true;
    sink_.ShowMessage(report, origin);
}

void ConsoleSession::MessageClosed(MessageOrigin origin) {
    messageOpen_[static_cast<std::size_t>(origin)] = false;
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
    if (!failure) {
        transportFailing_ = false;
    } else if (!transportFailing_) {
        // Once per run of failures; the next send tries again.
        transportFailing_ = true;
        Show({MessageIcon::Critical, "Network Error", failure->what, TextEncoding::Utf8},
             MessageOrigin::Transport);
    }
    // Out through one interface is out: its unit may answer.
    if (datagram.changeFor.empty() || (failure && !failure->partly))
        return;
    results_.Sent(datagram.changeFor, TimeText(now), ChangeReplyWaitTicks,
                  std::exchange(newRound_, false));
    ResultMovedOn(datagram.changeFor);
}

void ConsoleSession::SetListEnabled(bool enabled) {
    if (listEnabled_ == enabled)
        return;
    listEnabled_ = enabled;
    sink_.ListEnabledChanged(enabled);
}

void ConsoleSession::SetButtonsEnabled(bool enabled) {
    if (buttonsEnabled_ == enabled)
        return;
    buttonsEnabled_ = enabled;
    sink_.ButtonsEnabledChanged(enabled);
}

void ConsoleSession::SetSelectedUnit(int row) {
    selection_ = {};
    if (units_.HasRow(row))
        selection_ = {units_.Row(row).id,
                      units_.CellAt(row, ListViewFieldNumberMACAddressColumn).text};
    sink_.HighlightChanged(units_.HasRow(row) ? row : 0);
}

void ConsoleSession::SelectAgain(const Selection& selection) {
    int row = units_.RowOfUnit(selection.unit);
    if (row == 0 && (selection.unit != 0 || selection.away))
        row = units_.FindRowByMAC(selection.mac);
    if (row != 0 || (selection.unit == 0 && !selection.away)) {
        SetSelectedUnit(row == 0 ? -1 : row);
        return;
    }
    // Not back yet: nobody else is selected meanwhile.
    selection_ = {0, selection.mac, true};
    sink_.HighlightChanged(0);
}

void ConsoleSession::CountPendingChange() {
    ++pendingChangeCount_;
    if (pendingChangeCount_ > 0)
        SetButtonsEnabled(true);
}

void ConsoleSession::TimerOpenTick(SocketState socketState) {
    if (shutDown_)
        return;
    const std::string caption =
        BaseCaption() + " - " + SocketStateTexts[static_cast<std::size_t>(socketState)];
    if (caption != caption_) {
        caption_ = caption;
        sink_.CaptionChanged(caption_);
    }

    if (replyWaitTicks_ != 0 && --replyWaitTicks_ == 0)
        SetListEnabled(true);
    for (const std::string& mac : results_.Tick())
        ResultMovedOn(mac);

    identifyElapsedMs_ += TimerOpenIntervalMs;
    if (identifyElapsedMs_ > IdentificationPeriodMs) {
        SendABroadcastMessage(IdentificationRequest());
        identifyElapsedMs_ = 0;
        recovery_.CycleStarted();
        // A notice speaks of its own cycle.
        notice_.clear();
        return;
    }
    if (recovery_.Tick())
        SendABroadcastMessage(IdentificationRequest());

    if (UnitCount() <= 0)
        return;
    if (SelectedUnitIndex() == -1 && !selection_.away && !autoSelectDone_) {
        currentFieldNumber_ = FieldNumberVendorManufacturer;
        SetSelectedUnit(1);
        autoSelectDone_ = true;
    }
    if (SelectedUnitIndex() != -1)
        SendMSGSelectUnit();
}

void ConsoleSession::Refresh() {
    if (shutDown_)
        return;
    if (SelectedUnitIndex() != -1) {
        selection_ = {0, selection_.mac, true};
        sink_.HighlightChanged(0);
    }
    // The rule empties the list, pending marks and all: at least say so.
    const int discarded = MarkedCells();
    notice_ = discarded == 0 ? std::string()
                             : "Refresh discarded " + std::to_string(discarded) +
                                   " pending change" + (discarded == 1 ? "" : "s");
    results_.EndRound();
    units_.Clear();
    SendABroadcastMessage(IdentificationRequest());
}

void ConsoleSession::SetFilterItemChecked(int item, bool checked) {
    if (item >= 0 && item < IdentificationFilterItemCount)
        filterChecks_[static_cast<std::size_t>(item)] = checked;
}

std::uint16_t ConsoleSession::IdentificationFilterChecks() const {
    std::uint16_t bits = 0;
    for (std::size_t i = 0; i < filterChecks_.size(); ++i)
        if (filterChecks_[i])
            bits |= FieldBit(IdentificationFilterMenu[i].field);
    return bits;
}

} // namespace tarnwick
