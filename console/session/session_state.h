// What a console session holds, as its views and tests read it: one value, named as the console
// names its state. Only the session changes it.
#pragma once

#include "console/network/host_networks.h"
#include "console/planning/address_sequence.h"
#include "console/requests/change_results.h"
#include "console/requests/drop_recovery.h"
#include "console/session/apply_walk.h"
#include "console/session/cell_editor.h"
#include "console/session/message_gate.h"
#include "console/session/selection.h"
#include "console/table/unit_table.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

inline constexpr int IdentificationFilterItemCount = 10;

// The console's own names stay as they are (PendingChangeCount); the rest are the house's.
struct SessionState {
    explicit SessionState(bool internalMode);

    bool InternalMode = false;
    std::string caption;
    UnitTable units;
    Selection selection;
    int CurrentFieldNumber = 0;
    int PendingChangeCount = 0;
    int ReplyWaitTicks = 0;
    int IdentifyElapsedMs = 0;
    bool AutoSelectDone = false;
    bool listEnabled = true;
    bool buttonsEnabled = false; // Apply and Cancel All
    bool checkAddressesBeforeApply = true;
    bool shutDown = false;
    // The identification filter menu, in menu order.
    std::array<bool, IdentificationFilterItemCount> filterChecks{};
    std::string notice; // said in the status bar until the next cycle
    CellEditor editor;
    ApplyWalk walk;
    ChangeResults results;
    DropRecovery recovery;
    MessageGate messages;
    HostNetworks host;

    int UnitCount() const { return units.UnitCount(); }
    // The row of the selected unit; -1 for none, and while it is away after a Refresh.
    int SelectedUnitIndex() const {
        const int row = units.RowOfUnit(selection.unit);
        return row == 0 ? -1 : row;
    }
    bool Applying() const { return walk.Active(); }
    // The row of the unit under edit now, 0 when it has left the list, and its cell's text.
    int EditRow() const { return editor.Row(units); }
    std::string EditCellText() const { return editor.Text(units); }
    std::string BaseCaption() const;
    std::uint16_t IdentificationFilterChecks() const;
    // Cells of `row` that hold a change not yet confirmed by its unit; of every row.
    int MarkedCells(int row) const;
    int MarkedCells() const;
    // What became of the last change request `row`'s unit was sent; nothing before any.
    const ChangeResult* ResultOf(int row) const;
    // Whether a resend would send `row`'s unit anything, and any unit anything.
    bool Resendable(int row) const;
    bool HasUnconfirmed() const;
    // The status bar's second panel: a notice, the sum of the last Apply, or the unit count.
    std::string StatusText() const;
    std::optional<std::string> ReachabilityHint(int row) const;
};

// The list as CSV text (UTF-8 after its byte order mark), one row per unit in list order or in
// the order of `rows`, cells apart by `separator`.
std::string ExportList(const SessionState& state, char separator = ',',
                       const std::vector<int>& rows = {});
// What is wrong with the addresses Apply would leave (UTF-8 lines), and what to show before
// Apply goes ahead: nothing when the check is off.
std::vector<std::string> CheckAddresses(const SessionState& state);
std::vector<std::string> ProblemsBeforeApply(const SessionState& state);
AddressSequence PreviewAddresses(const SessionState& state, const AddressAssignment& assignment);

} // namespace tarnwick
