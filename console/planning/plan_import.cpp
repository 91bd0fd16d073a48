#include "console/planning/plan_import.h"

#include "console/planning/csv.h"
#include "console/table/field_validation.h"
#include "console/table/latin1_text.h"

#include <algorithm>
#include <map>
#include <optional>

namespace tarnwick {
namespace {

constexpr int PlannableFields[] = {FieldNumberUseDHCP,    FieldNumberSavedIPAddress,
                                   FieldNumberSubnetMask, FieldNumberDefaultGateway,
                                   FieldNumberDNSServer,  FieldNumberHostName,
                                   FieldNumberUnitID,     FieldNumberSerialNumber};

const char* Caption(int column) {
    return ListColumnHeaders[static_cast<std::size_t>(column - 1)];
}

std::optional<bool> ParseBoolean(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    if (text == "TRUE")
        return true;
    if (text == "FALSE")
        return false;
    return std::nullopt;
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A spreadsheet takes "0012" for the number 12 and saves it as "12": exactly that value, never
// one it could not have made that way ("012"), is the unit's own text and no edit.
bool ZerosDroppedBySpreadsheet(std::string_view cell, std::string_view value) {
    if (!AllDigits(cell) || !AllDigits(value))
        return false;
    const std::size_t zeros = std::min(cell.find_first_not_of('0'), cell.size() - 1);
    return zeros > 0 && cell.substr(zeros) == value;
}

struct Reader {
    const UnitTable& units;
    const std::function<bool(int, int)>& editable;
    ImportResult result;

    void Problem(int line, int column, const std::string& reason) {
        result.problems.push_back("Line " + std::to_string(line) + ", " + Caption(column) + ": " +
                                  reason);
    }

    // One cell of the file for `column` of `row`.
    void Take(int line, int row, int column, const std::string& value) {
        // Installers leave blank what they do not plan to change.
        if (value.empty())
            return;
        const std::optional<std::string> latin1 = Utf8ToLatin1(value);
        const std::string& text = latin1 ? *latin1 : value;
        if (column == ColumnUseDHCP) {
            const auto checked = ParseBoolean(text);
            if (!checked)
                Problem(line, column, "TRUE or FALSE expected.");
            else if (*checked != units.Row(row).checked)
                result.edits.push_back({row, column, {}, *checked});
            return;
        }
        const std::string& cell = units.CellAt(row, column).text;
        if (text == cell)
            return;
        const int field = FieldOfColumn[static_cast<std::size_t>(column - 1)];
        if (!IsAddressField(field) && ZerosDroppedBySpreadsheet(cell, text)) {
            result.droppedZeros.push_back("Line " + std::to_string(line) + ", " + Caption(column));
            return;
        }
        if (!editable(field, row))
            return Problem(line, column, "this unit has none to change.");
        if (auto message = ValidationMessage(field, text, latin1.has_value()))
            return Problem(line, column, *message);
        // "10.1.0.01" is the unit's own 10.1.0.1.
        if (std::string committed = CommittedText(field, text); committed != cell)
            result.edits.push_back({row, column, std::move(committed), false});
    }
};

} // namespace

ImportResult ReadPlan(std::string_view file, const UnitTable& units, bool serialNumbers,
                      const std::function<bool(int field, int row)>& editable) {
    Reader reader{units, editable, {}};
    ImportResult& result = reader.result;
    auto read = ReadCsv(file);
    if (const auto* error = std::get_if<std::string>(&read)) {
        result.problems.push_back(*error);
        return result;
    }
    const auto& rows = std::get<std::vector<CsvRow>>(read);
    // Which list column each of the file's columns sets; the MAC column finds the row.
    std::map<std::size_t, int> columns;
    std::optional<std::size_t> macIndex;
    if (!rows.empty())
        for (std::size_t i = 0; i < rows[0].cells.size(); ++i) {
            const std::string& caption = rows[0].cells[i];
            if (caption == Caption(ColumnMACAddress) && !macIndex)
                macIndex = i;
            for (const int field : PlannableFields)
                if (caption == Caption(ColumnOfField(field)) &&
                    (field != FieldNumberSerialNumber || serialNumbers))
                    columns.emplace(i, ColumnOfField(field));
        }
    if (!macIndex) {
        result.problems.emplace_back("The first line names no \"MAC Address\" column.");
        return result;
    }

    std::map<std::string, int> seen; // MAC to the line that planned it
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const CsvRow& line = rows[r];
        if (std::all_of(line.cells.begin(), line.cells.end(),
                        [](const std::string& cell) { return cell.empty(); }))
            continue;
        const std::string mac = *macIndex < line.cells.size() ? line.cells[*macIndex] : "";
        const auto [first, fresh] = seen.emplace(mac, line.line);
        if (mac.empty()) {
            reader.Problem(line.line, ColumnMACAddress, "empty.");
            continue;
        }
        if (!fresh) {
            reader.Problem(line.line, ColumnMACAddress,
                           "planned already on line " + std::to_string(first->second) + ".");
            continue;
        }
        const std::optional<std::string> latin1 = Utf8ToLatin1(mac);
        const int row = latin1 ? units.FindRowByMAC(*latin1) : 0;
        if (row == 0) {
            result.unknownMacs.push_back(mac);
            continue;
        }
        result.plannedRows.push_back(row);
        // A short line leaves the columns it lacks as they are.
        for (const auto& [index, column] : columns)
            if (index < line.cells.size())
                reader.Take(line.line, row, column, line.cells[index]);
    }
    if (!result.problems.empty())
        result.edits.clear();
    return result;
}

std::string ImportNotes(const ImportResult& result) {
    std::string notes;
    const auto section = [&notes](const std::string& heading,
                                  const std::vector<std::string>& lines) {
        if (lines.empty())
            return;
        notes += (notes.empty() ? "" : "\n\n") + heading;
        for (const std::string& line : lines)
            notes += "\n" + line;
    };
    const std::size_t unknown = result.unknownMacs.size();
    section(unknown == 1 ? "1 unit of the plan is not in the list:"
                         : std::to_string(unknown) + " units of the plan are not in the list:",
            result.unknownMacs);
    const std::size_t kept = result.droppedZeros.size();
    section((kept == 1 ? std::string("1 cell kept as its unit has it")
                       : std::to_string(kept) + " cells kept as the units have them") +
                " (leading zeros a spreadsheet dropped):",
            result.droppedZeros);
    return notes;
}

} // namespace tarnwick
