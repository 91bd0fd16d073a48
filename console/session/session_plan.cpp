// Planning a site: a plan's edits, addresses in sequence, and find.
#include "console/session/console_session.h"
#include "console/table/field_validation.h"
#include "console/table/latin1_text.h"
#include "console/table/unit_search.h"

namespace tarnwick {

// Edits made while a change request waits for its reply, or during Apply's walk, would be
// overwritten by the reply or left behind by the walk: the list takes none then, nor does a plan.
constexpr char BusyProblem[] =
    "The units are being sent their changes: try again when the list is enabled.";

ImportResult ConsoleSession::ImportPlan(std::string_view csvUtf8) {
    if (!TakesPlannedEdits())
        return {{BusyProblem}, {}, {}, {}, {}};
    ImportResult result =
        ReadPlan(csvUtf8, state_.units, state_.InternalMode, [this](int field, int row) {
            return IsEditable(state_.units, row, field, state_.InternalMode);
        });
    MakePendingEdits(result.edits);
    // Otherwise a plan that matches the units looks like one that was never read.
    if (result.problems.empty())
        state_.notice = result.edits.empty() ? "Import Plan: no changes for the listed units" : "";
    return result;
}

// No select or unselect request: a plan marks units, it does not pick one.
void ConsoleSession::MakePendingEdits(const std::vector<PlannedEdit>& edits) {
    for (const PlannedEdit& edit : edits) {
        if (edit.column == ColumnUseDHCP) {
            state_.units.SetChecked(edit.row, edit.checked);
            ToggleCheckBoxMark(edit.row);
        } else {
            MarkPendingEdit(edit.row, edit.column, edit.text);
        }
    }
}

AddressSequence ConsoleSession::AssignAddresses(const AddressAssignment& assignment) {
    AddressSequence sequence = PreviewAddresses(state_, assignment);
    if (!TakesPlannedEdits())
        sequence.problem = BusyProblem;
    if (!sequence.problem.empty())
        return sequence;
    std::vector<PlannedEdit> edits;
    for (const AssignedAddress& unit : sequence.units) {
        const std::pair<int, const std::string*> values[] = {
            {ColumnSavedIPAddress, &unit.savedIp},
            {ColumnSubnetMask, &assignment.mask},
            {ColumnDefaultGateway, &assignment.gateway},
            {ColumnDNSServer, &assignment.dns}};
        for (const auto& [column, text] : values) {
            std::string value = CommittedText(FieldAt(column), *text);
            if (!value.empty() && value != state_.units.CellAt(unit.row, column).text)
                edits.push_back({unit.row, column, std::move(value), false});
        }
    }
    MakePendingEdits(edits);
    return sequence;
}

int ConsoleSession::FindUnit(std::string_view text) {
    const int row = FindNextRow(state_.units, state_.SelectedUnitIndex(), text);
    // Said in the status panel, not in a box: the user is typing.
    state_.notice =
        row == 0 ? "No unit holds \u201c" + Latin1ToUtf8(text) + "\u201d" : std::string();
    if (row != 0)
        SelectRow(row); // as a click: a disabled list takes none
    return row;
}

} // namespace tarnwick
