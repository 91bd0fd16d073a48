// ConsoleSession: everything the console knows and decides between the wire and the widgets.
// Its front ends forward user events and datagrams here, read State(), and hear the listener.
// No clock and no event loop: a runtime calls TimerOpenTick every 500 ms, one ApplyStep per turn
// of its loop while Applying(), and sends what PollTransmit hands it after each call.
#pragma once

#include "console/planning/plan_import.h"
#include "console/session/session_listener.h"
#include "console/session/session_state.h"
#include "protocol/reply_intake.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// What one datagram turned out to be.
enum class IntakeResult { Dropped, Message, IdentificationReply, ChangeReply, InvalidChangeReply };

enum class CommitResult {
    Refused,  // a message is showing; the editor stays open with the text as typed
    Accepted, // the editor closes (changed, unchanged, or its unit has left the list)
};

inline constexpr int TimerOpenIntervalMs = 500;
// Ticks the list stays disabled after a change request when no reply comes.
inline constexpr int ChangeReplyWaitTicks = 10;

// A datagram the session wants sent; a change request names the unit it is for.
struct OutgoingDatagram {
    std::string bytes;
    std::string changeFor; // the unit's MAC text; empty for any other request
};

class ConsoleSession {
public:
    // `selectsFirstUnit`: the first unit listed is selected by itself, as the window does; a
    // front end without a list leaves every unit alone until it is told to select one.
    ConsoleSession(SessionListener& listener, bool internalMode, bool selectsFirstUnit = true);

    // Start-up's part: the counters, an empty list, and the first identification request.
    void StartUp();
    // The window is closing: the selected unit stops identifying itself; nothing runs after.
    void ShutDown();
    const SessionState& State() const { return state_; }
    void SetTableListener(UnitTableListener* listener) { state_.units.SetListener(listener); }

    // The one road of a datagram into the console. `now` stamps a change reply's result.
    IntakeResult TakeDatagram(std::string_view bytes, std::string_view sender, TimeOfDay now = {});
    // The datagrams to send, oldest first: whoever drives the session sends each, after the call
    // that made it, and says what became of it. Nothing goes out from inside a call.
    std::optional<OutgoingDatagram> PollTransmit();
    // What became of a datagram PollTransmit gave; `now` stamps a change request's result.
    void Transmitted(const OutgoingDatagram& datagram, const std::optional<SendFailure>& failure,
                     TimeOfDay now);
    // The receive buffer had no room for `count` datagrams: the units are asked again once the
    // burst is over.
    void RepliesDropped(std::uint32_t count) { state_.recovery.Dropped(count); }
    // This computer's networks: the addresses its name resolves to, and its interfaces.
    void SetHostNetworks(std::vector<std::string> resolved,
                         const std::vector<NetworkInterface>& interfaces);
    void MessageClosed(MessageOrigin origin) { state_.messages.Closed(origin); }

    // One tick of TimerOpen; the caption names the socket's state.
    void TimerOpenTick(SocketState socketState);
    // Toolbar: "Refresh" lists the units anew.
    void Refresh();
    void SetFilterItemChecked(int item, bool checked);
    void SetCheckAddressesBeforeApply(bool check) { state_.checkAddressesBeforeApply = check; }

    // The user ticked or cleared the check box of `row`.
    void RowCheckBoxChanged(int row, bool checked);
    // A mouse release on the list: `selectedRow` is the list's selected row (0 for none),
    // `onSelectedRow` whether the release lies on it, `column` the column under it (1 to 16).
    // Where to open the editor, when the cell is editable.
    std::optional<EditPlacement> StartEdit(int selectedRow, bool onSelectedRow, int column);
    // The list's current row moved by a key: its unit is selected as a click on the row selects
    // it, and no editor opens. False when the list takes no input or there is no such row.
    bool SelectRow(int row);
    // Tab: the next editable field of the same unit; nothing when the editor closes.
    std::optional<EditPlacement> EditNextField();
    // Ends an edit with the typed text (bytes; `fitsOneByte` false when a character cannot be
    // carried as one byte).
    CommitResult SetText(std::string_view typed, bool fitsOneByte = true);
    // A key that would make the cell under edit longer than its field allows: the message, and
    // false. Only keys that insert count; nothing typed is ever taken away.
    bool KeyInsertAllowed(int lengthAfterKey);

    // Apply starts a walk over the rows; ApplyStep does one row (or the end) per call.
    void Apply();
    void ApplyStep();
    // Every pending change goes back to what the units last reported; or only `row`'s.
    void CancelAll();
    void DiscardChanges(int row);
    // The change request again, built from the row as it is now: to every unit whose last one
    // got no answer or an unclear one, or to one unit. A walk like Apply's.
    void ResendUnconfirmed();
    void ResendChanges(int row);

    // A plan's pending edits, made as typing makes them; nothing at all when any value is
    // refused. Nothing is sent. StatusText says when a plan made no edit.
    ImportResult ImportPlan(std::string_view csvUtf8);
    // The preview's saved IPs, mask, gateway and DNS server become pending edits, unless it
    // has a problem.
    AddressSequence AssignAddresses(const AddressAssignment& assignment);
    // The next row after the selected one that holds `text`, selected as a click selects it;
    // 0 when no row does.
    int FindUnit(std::string_view text);

private:
    bool TakesPlannedEdits() const {
        return !state_.shutDown && state_.listEnabled && !state_.Applying();
    }
    IntakeResult Take(const IntakeOutcome& outcome);
    // Into the outbox; `changeFor` names the unit of a change request.
    void SendABroadcastMessage(std::string message, std::string changeFor = {});
    void TakeChangeReply(const ChangeReply& reply, std::string_view sender, TimeOfDay now);
    void ResultMovedOn(const std::string& mac);
    void StartWalk(std::vector<UnitId> units, bool apply);
    void FinishApply();
    void DiscardRow(int row);
    void Show(const MessageReport& report, MessageOrigin origin);
    void SetListEnabled(bool enabled);
    void SetButtonsEnabled(bool enabled);
    void SetSelectedUnit(int row);
    void SelectAgain(const Selection& selection);
    void CountPendingChange();
    // The marks and count of an edit, typed or planned.
    void MarkPendingEdit(int row, int column, std::string_view text);
    void ToggleCheckBoxMark(int row);
    void MakePendingEdits(const std::vector<PlannedEdit>& edits);
    void SendMSGSelectUnit();
    void SendMSGUnselectUnit();
    void SendChanges(int row);
    void SendUnitRequest(std::uint8_t functionCode, const std::string& version, int row);
    void SetRowBold(int row, bool markedOnly);
    std::optional<EditPlacement> EditCell(int row, int column);

    SessionListener& sink_;
    SessionState state_;
    // The last datagram's outcome: the next one decodes into its storage.
    IntakeOutcome intake_;
    std::deque<OutgoingDatagram> outbox_;
    const bool selectsFirstUnit_;
};

} // namespace tarnwick
