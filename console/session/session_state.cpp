// Reading a session's state: what the views show, and the list as planning sees it.
#include "console/session/session_state.h"

#include "console/planning/address_checks.h"
#include "console/planning/csv.h"
#include "console/requests/unit_request_builder.h"
#include "console/table/latin1_text.h"

namespace tarnwick {
namespace {

constexpr char CaptionNormal[] = "Lumivar Network Tarnwick";
constexpr char CaptionInternal[] = "Lumivar Network Tarnwick - Internal Version";

} // namespace

SessionState::SessionState(bool internalMode) : InternalMode(internalMode) {
    for (std::size_t i = 0; i < filterChecks.size(); ++i)
        filterChecks[i] = IdentificationFilterMenu[i].checkedAtStart;
}

std::string SessionState::BaseCaption() const {
    return InternalMode ? CaptionInternal : CaptionNormal;
}

std::uint16_t SessionState::IdentificationFilterChecks() const {
    std::uint16_t bits = 0;
    for (std::size_t i = 0; i < filterChecks.size(); ++i)
        if (filterChecks[i])
            bits |= FieldBit(IdentificationFilterMenu[i].field);
    return bits;
}

int SessionState::MarkedCells(int row) const {
    int marked = 0;
    for (const Cell& cell : units.Row(row).cells)
        marked += IsPending(cell) ? 1 : 0;
    return marked;
}

int SessionState::MarkedCells() const {
    int marked = 0;
    for (int row = 1; row <= UnitCount(); ++row)
        marked += MarkedCells(row);
    return marked;
}

const ChangeResult* SessionState::ResultOf(int row) const {
    return units.HasRow(row) ? results.Find(units.CellAt(row, ColumnMACAddress).text) : nullptr;
}

bool SessionState::Resendable(int row) const {
    // Its changes discarded, a unit has nothing left to send.
    return results.Unconfirmed(units.CellAt(row, ColumnMACAddress).text) && MarkedCells(row) > 0;
}

bool SessionState::HasUnconfirmed() const {
    // Asked every tick: most of the time no unit has an unconfirmed change at all.
    if (!results.AnyUnconfirmed())
        return false;
    for (int row = 1; row <= UnitCount(); ++row)
        if (Resendable(row))
            return true;
    return false;
}

std::string SessionState::StatusText() const {
    // No notice hides another, nor the sum of the last Apply.
    std::string text;
    for (const std::string& part : {results.RoundText(), notice, recovery.Text()})
        if (!part.empty())
            text += (text.empty() ? "" : " \u00b7 ") + part;
    if (!text.empty())
        return text;
    return std::to_string(UnitCount()) + (UnitCount() == 1 ? " unit" : " units");
}

std::optional<std::string> SessionState::ReachabilityHint(int row) const {
    if (!units.HasRow(row))
        return std::nullopt;
    return host.UnreachableHint(units.CellAt(row, ColumnIPAddress).text,
                                units.CellAt(row, ColumnSubnetMask).text);
}

std::string ExportList(const SessionState& state, char separator, const std::vector<int>& rows) {
    std::vector<std::string> cells(ListColumnHeaders.begin(), ListColumnHeaders.end());
    cells.emplace_back("Last Change");
    cells.emplace_back("Last Change Time");
    std::string csv = std::string(Utf8ByteOrderMark) + CsvRecord(cells, separator);
    const UnitTable& units = state.units;
    const int count = rows.empty() ? units.UnitCount() : static_cast<int>(rows.size());
    for (int n = 1; n <= count; ++n) {
        const int row = rows.empty() ? n : rows[static_cast<std::size_t>(n - 1)];
        cells.clear();
        cells.emplace_back(units.Row(row).checked ? "TRUE" : "FALSE");
        for (int column = 2; column <= ListViewFieldNumberColumnCount; ++column)
            cells.push_back(Latin1ToUtf8(units.CellAt(row, column).text));
        const ChangeResult* result = state.ResultOf(row);
        cells.emplace_back(result ? StateWord(result->state) : "");
        cells.push_back(result ? result->sentAt : "");
        csv += CsvRecord(cells, separator);
    }
    return csv;
}

std::vector<std::string> CheckAddresses(const SessionState& state) {
    const UnitTable& units = state.units;
    std::vector<UnitAddresses> listed;
    for (int row = 1; row <= units.UnitCount(); ++row)
        listed.push_back(
            {units.CellAt(row, ColumnMACAddress).text, units.CellAt(row, ColumnIPAddress).text,
             units.CellAt(row, ColumnSavedIPAddress).text, units.CellAt(row, ColumnSubnetMask).text,
             units.CellAt(row, ColumnDefaultGateway).text, units.CellAt(row, ColumnDNSServer).text,
             units.Row(row).checked, state.MarkedCells(row) > 0});
    return AddressProblems(listed, state.host.LocalAddresses());
}

std::vector<std::string> ProblemsBeforeApply(const SessionState& state) {
    return state.checkAddressesBeforeApply ? CheckAddresses(state) : std::vector<std::string>{};
}

AddressSequence PreviewAddresses(const SessionState& state, const AddressAssignment& assignment) {
    const UnitTable& units = state.units;
    std::vector<ListedAddresses> listed;
    for (int row = 1; row <= units.UnitCount(); ++row)
        listed.push_back({units.CellAt(row, ColumnMACAddress).text,
                          units.CellAt(row, ColumnIPAddress).text,
                          units.CellAt(row, ColumnSavedIPAddress).text,
                          units.CellAt(row, ColumnDefaultGateway).text,
                          units.CellAt(row, ColumnDNSServer).text});
    return SequenceAddresses(listed, assignment, state.host.LocalAddresses());
}

} // namespace tarnwick
