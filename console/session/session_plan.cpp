// Planning a site: the list out to a spreadsheet and a plan back in, addresses in sequence,
// the check of the addresses Apply would leave, find, and which units this computer can reach.
#include "console/planning/address_checks.h"
#include "console/session/console_session.h"
#include "console/planning/csv.h"
#include "console/table/field_validation.h"
#include "console/table/latin1_text.h"
#include "console/network/reachability.h"
#include "console/table/unit_search.h"

namespace tarnwick {
namespace {

constexpr int IPAddressColumn = ColumnOfField(FieldNumberIPAddress);
constexpr int SavedIPColumn = ColumnOfField(FieldNumberSavedIPAddress);
constexpr int SubnetMaskColumn = ColumnOfField(FieldNumberSubnetMask);
constexpr int GatewayColumn = ColumnOfField(FieldNumberDefaultGateway);
constexpr int DNSColumn = ColumnOfField(FieldNumberDNSServer);

} // namespace

std::string ConsoleSession::ExportList(char separator) const {
    std::vector<std::string> cells(ListColumnHeaders.begin(), ListColumnHeaders.end());
    cells.emplace_back("Last Change");
    cells.emplace_back("Last Change Time");
    std::string csv = std::string(Utf8ByteOrderMark) + CsvRecord(cells, separator);
    for (int row = 1; row <= UnitCount(); ++row) {
        cells.clear();
        cells.emplace_back(units_.Row(row).checked ? "TRUE" : "FALSE");
        for (int column = 2; column <= ListViewFieldNumberColumnCount; ++column)
            cells.push_back(Latin1ToUtf8(units_.CellAt(row, column).text));
        const ChangeResult* result = ResultOf(row);
        cells.emplace_back(result ? StateWord(result->state) : "");
        cells.push_back(result ? result->sentAt : "");
        csv += CsvRecord(cells, separator);
    }
    return csv;
}

// Edits made while a change request waits for its reply, or during Apply's walk, would be
// overwritten by the reply or left behind by the walk: the list takes none then, nor does a plan.
constexpr char BusyProblem[] =
    "The units are being sent their changes: try again when the list is enabled.";

ImportResult ConsoleSession::ImportPlan(std::string_view csvUtf8) {
    if (!TakesPlannedEdits())
        return {{BusyProblem}, {}, {}, {}};
    ImportResult result = ReadPlan(csvUtf8, units_, internalMode_,
                                   [this](int field, int row) { return IsEditable(field, row); });
    MakePendingEdits(result.edits);
    // Otherwise a plan that matches the units looks like one that was never read.
    if (result.problems.empty())
        notice_ = result.edits.empty() ? "Import Plan: no changes for the listed units" : "";
    return result;
}

// No select or unselect request: a plan marks units, it does not pick one.
void ConsoleSession::MakePendingEdits(const std::vector<PlannedEdit>& edits) {
    for (const PlannedEdit& edit : edits) {
        if (edit.column == ListViewFieldNumberUseDHCPColumn) {
            units_.SetChecked(edit.row, edit.checked);
            ToggleCheckBoxMark(edit.row);
        } else {
            MarkPendingEdit(edit.row, edit.column, edit.text);
        }
    }
}

AddressSequence ConsoleSession::PreviewAddresses(const AddressAssignment& assignment) const {
    std::vector<ListedAddresses> listed;
    for (int row = 1; row <= UnitCount(); ++row)
        listed.push_back(
            {units_.CellAt(row, ListViewFieldNumberMACAddressColumn).text,
             units_.CellAt(row, IPAddressColumn).text, units_.CellAt(row, SavedIPColumn).text,
             units_.CellAt(row, GatewayColumn).text, units_.CellAt(row, DNSColumn).text});
    return SequenceAddresses(listed, assignment, localAddresses_);
}

AddressSequence ConsoleSession::AssignAddresses(const AddressAssignment& assignment) {
    AddressSequence sequence = PreviewAddresses(assignment);
    if (!TakesPlannedEdits())
        sequence.problem = BusyProblem;
    if (!sequence.problem.empty())
        return sequence;
    std::vector<PlannedEdit> edits;
    for (const AssignedAddress& unit : sequence.units) {
        const std::pair<int, const std::string*> values[] = {{SavedIPColumn, &unit.savedIp},
                                                             {SubnetMaskColumn, &assignment.mask},
                                                             {GatewayColumn, &assignment.gateway},
                                                             {DNSColumn, &assignment.dns}};
        for (const auto& [column, text] : values) {
            std::string value =
                CommittedText(FieldOfColumn[static_cast<std::size_t>(column - 1)], *text);
            if (!value.empty() && value != units_.CellAt(unit.row, column).text)
                edits.push_back({unit.row, column, std::move(value), false});
        }
    }
    MakePendingEdits(edits);
    return sequence;
}

std::vector<std::string> ConsoleSession::CheckAddresses() const {
    std::vector<UnitAddresses> units;
    for (int row = 1; row <= UnitCount(); ++row)
        units.push_back(
            {units_.CellAt(row, ListViewFieldNumberMACAddressColumn).text,
             units_.CellAt(row, IPAddressColumn).text, units_.CellAt(row, SavedIPColumn).text,
             units_.CellAt(row, SubnetMaskColumn).text, units_.CellAt(row, GatewayColumn).text,
             units_.CellAt(row, DNSColumn).text, units_.Row(row).checked, MarkedCells(row) > 0});
    return AddressProblems(units, localAddresses_);
}

int ConsoleSession::FindUnit(std::string_view text) {
    const int row = FindNextRow(units_, SelectedUnitIndex(), text);
    // Said in the status panel, not in a box: the user is typing.
    notice_ = row == 0 ? "No unit holds \u201c" + Latin1ToUtf8(text) + "\u201d" : std::string();
    if (row != 0)
        SelectRow(row); // as a click: a disabled list takes none
    return row;
}

std::optional<std::string> ConsoleSession::ReachabilityHint(int row) const {
    if (localSubnets_.empty() || !units_.HasRow(row))
        return std::nullopt;
    return UnreachableHint(units_.CellAt(row, IPAddressColumn).text,
                           units_.CellAt(row, SubnetMaskColumn).text, localSubnets_);
}

} // namespace tarnwick
