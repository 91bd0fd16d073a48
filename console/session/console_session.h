// ConsoleSession: everything the console knows and decides between the wire and the widgets.
// The window and the cell editor are its views; they forward user events here and show what the
// sink reports. No clock and no event loop: the window's timer calls TimerOpenTick, and Apply
// advances one row per ApplyStep.
#pragma once

#include "console/planning/address_sequence.h"
#include "console/requests/change_results.h"
#include "console/requests/drop_recovery.h"
#include "console/network/network_interfaces.h"
#include "console/planning/plan_import.h"
#include "console/session/session_listener.h"
#include "console/table/unit_table.h"
#include "protocol/reply_intake.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// What one datagram turned out to be.
enum class IntakeResult { Dropped, Message, IdentificationReply, ChangeReply, InvalidChangeReply };

// Where the edit box goes and what it starts with.
struct EditPlacement {
    int row = 0;
    int column = 0;
    std::string text;
    bool operator==(const EditPlacement&) const = default;
};

enum class CommitResult {
    Refused,  // a message is showing; the editor stays open with the text as typed
    Accepted, // the editor closes (changed, unchanged, or its unit has left the list)
};

inline constexpr int IdentificationFilterItemCount = 10;
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
    ConsoleSession(SessionListener& listener, bool internalMode);

    // Start-up's part: the counters, an empty list, and the first identification request.
    void StartUp();
    // The window is closing: the selected unit stops identifying itself; nothing runs after.
    void ShutDown();

    // Intake: the one road of a datagram into the console. `now` stamps a change reply's result.
    IntakeResult TakeDatagram(std::string_view bytes, std::string_view sender, TimeOfDay now = {});
    IntakeResult Take(const IntakeOutcome& outcome);
    // The datagrams to send, oldest first: whoever drives the session sends each, after the call
    // that made it, and says what became of it. Nothing goes out from inside a call.
    std::optional<OutgoingDatagram> PollTransmit();
    // What became of a datagram PollTransmit gave; `now` stamps a change request's result.
    void Transmitted(const OutgoingDatagram& datagram, const std::optional<SendFailure>& failure,
                     TimeOfDay now);
    void MessageClosed(MessageOrigin origin);
    // The receive buffer had no room for `count` datagrams: the units are asked again once the
    // burst is over.
    void RepliesDropped(std::uint32_t count) { recovery_.Dropped(count); }

    // One tick of TimerOpen; the caption names the socket's state.
    void TimerOpenTick(SocketState socketState);
    // Toolbar: "Refresh" lists the units anew; "Identify" does nothing.
    void Refresh();

    // The identification filter menu, in menu order.
    void SetFilterItemChecked(int item, bool checked);
    std::uint16_t IdentificationFilterChecks() const;

    // Requests for the unit at SelectedUnitIndex, and the change request for `row`.
    void SendMSGSelectUnit();
    void SendMSGUnselectUnit();
    void SendChanges(int row);

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
    // The row of the unit under edit now, 0 when it has left the list.
    int EditRow() const;
    int EditColumn() const { return editColumn_; }
    // The text of the cell under edit (Escape puts it back); empty when it is gone.
    std::string EditCellText() const;

    // Apply starts a walk over the rows; ApplyStep does one row (or the end) per call, one per
    // turn of the event loop while Applying().
    void Apply();
    void ApplyStep();
    bool Applying() const { return applying_; }
    // Every pending change goes back to what the units last reported.
    void CancelAll();
    // Only this unit's.
    void DiscardChanges(int row);
    // Cells of `row` that hold a change not yet confirmed by its unit.
    int MarkedCells(int row) const;

    // The change request again, built from the row as it is now: to every unit whose last one
    // got no answer or an unclear one, or to one unit. A walk like Apply's.
    void ResendUnconfirmed();
    void ResendChanges(int row);
    // Whether ResendUnconfirmed would send anything.
    bool HasUnconfirmed() const;
    // What became of the last change request `row`'s unit was sent; nothing before any.
    const ChangeResult* ResultOf(int row) const;
    // The status bar's second panel: a notice, the sum of the last Apply, or the unit count.
    std::string StatusText() const;

    const UnitTable& Units() const { return units_; }
    void SetTableListener(UnitTableListener* listener) { units_.SetListener(listener); }
    // This computer's networks: the addresses its name resolves to, and its interfaces. The
    // console's own broadcasts come back from any of those addresses; which units it reaches
    // follows the interfaces' subnets.
    void SetHostNetworks(std::vector<std::string> resolved,
                         const std::vector<NetworkInterface>& interfaces);
    const std::vector<std::string>& LocalAddresses() const { return localAddresses_; }

    // Site planning. The list as CSV text (UTF-8 after its byte order mark), one row per unit in
    // list order, cells apart by `separator`.
    std::string ExportList(char separator = ',') const;
    // A plan's pending edits, made as typing makes them; nothing at all when any value is
    // refused. Nothing is sent. StatusText says when a plan made no edit.
    ImportResult ImportPlan(std::string_view csvUtf8);
    AddressSequence PreviewAddresses(const AddressAssignment& assignment) const;
    // The preview's saved IPs, mask, gateway and DNS server become pending edits, unless it
    // has a problem.
    AddressSequence AssignAddresses(const AddressAssignment& assignment);
    // What is wrong with the addresses Apply would leave (UTF-8 lines).
    std::vector<std::string> CheckAddresses() const;
    bool CheckAddressesBeforeApply() const { return checkAddressesBeforeApply_; }
    void SetCheckAddressesBeforeApply(bool check) { checkAddressesBeforeApply_ = check; }
    // What to show before Apply goes ahead: nothing when the check is off or finds nothing.
    std::vector<std::string> ProblemsBeforeApply() const {
        return checkAddressesBeforeApply_ ? CheckAddresses() : std::vector<std::string>{};
    }
    // The next row after the selected one that holds `text`, selected as a click selects it;
    // 0 when no row does.
    int FindUnit(std::string_view text);
    std::optional<std::string> ReachabilityHint(int row) const;

    bool InternalMode() const { return internalMode_; }
    int UnitCount() const { return units_.UnitCount(); }
    // The row of the selected unit; -1 for none, and while it is away after a Refresh.
    int SelectedUnitIndex() const {
        const int row = units_.RowOfUnit(selection_.unit);
        return row == 0 ? -1 : row;
    }
    int CurrentFieldNumber() const { return currentFieldNumber_; }
    int PendingChangeCount() const { return pendingChangeCount_; }
    int ReplyWaitTicks() const { return replyWaitTicks_; }
    int IdentifyElapsedMs() const { return identifyElapsedMs_; }
    // Messages left unshown because a box of the same origin was open.
    int SuppressedMessages() const { return suppressedMessages_; }
    std::string BaseCaption() const;

private:
    bool TakesPlannedEdits() const { return !shutDown_ && listEnabled_ && !applying_; }
    // Into the outbox; `changeFor` names the unit of a change request.
    void SendABroadcastMessage(std::string message, std::string changeFor = {});
    void TakeChangeReply(const ChangeReply& reply, std::string_view sender, TimeOfDay now);
    void ResultMovedOn(const std::string& mac);
    void StartWalk(std::vector<UnitId> units, bool apply);
    int WalkRow(int n) const;
    bool Resendable(int row) const;
    void DiscardRow(int row);
    int MarkedCells() const;
    void Show(const MessageReport& report, MessageOrigin origin);
    void SetListEnabled(bool enabled);
    void SetButtonsEnabled(bool enabled);
    // The selected unit is a unit, not a row number: a Refresh may give its row to another.
    struct Selection {
        UnitId unit = 0;   // 0: none
        std::string mac;   // how it is known again once it has left the list
        bool away = false; // left with a Refresh: selected again when it answers
    };
    void SetSelectedUnit(int row);
    void SelectAgain(const Selection& selection);
    void CountPendingChange();
    // The marks and count of an edit, typed or planned.
    void MarkPendingEdit(int row, int column, std::string_view text);
    void ToggleCheckBoxMark(int row);
    void MakePendingEdits(const std::vector<PlannedEdit>& edits);
    void SendUnitRequest(std::uint8_t functionCode, const std::string& version, int row);
    void SetRowBold(int row, bool markedOnly);
    bool IsEditable(int field, int row) const;
    std::optional<EditPlacement> EditCell(int row, int column);
    void FinishApply();

    SessionListener& sink_;
    const bool internalMode_;
    UnitTable units_;
    // The last datagram's outcome: the next one decodes into its storage.
    IntakeOutcome intake_;
    std::vector<std::string> localAddresses_;
    std::array<bool, IdentificationFilterItemCount> filterChecks_{};

    Selection selection_;
    int currentFieldNumber_ = 0;
    int pendingChangeCount_ = 0;
    int replyWaitTicks_ = 0;
    int identifyElapsedMs_ = 0;
    bool autoSelectDone_ = false;
    bool listEnabled_ = true;
    bool buttonsEnabled_ = false;
    std::string caption_;

    // The cell under edit belongs to a unit, not to a row number.
    UnitId editUnit_ = 0;
    int editColumn_ = 0;

    ChangeResults results_;
    DropRecovery recovery_;
    std::string notice_;

    bool applying_ = false;
    bool walkIsApply_ = false;
    bool newRound_ = false;
    std::vector<UnitId> walkUnits_; // empty: every row, as Apply walks them
    Selection applySelectedBefore_;
    int applyRows_ = 0;
    int applyNext_ = 0;

    std::deque<OutgoingDatagram> outbox_;
    std::array<bool, 4> messageOpen_{};
    bool transportFailing_ = false;
    int suppressedMessages_ = 0;
    bool shutDown_ = false;

    bool checkAddressesBeforeApply_ = true;
    std::vector<Ipv4Subnet> localSubnets_;
};

} // namespace tarnwick
