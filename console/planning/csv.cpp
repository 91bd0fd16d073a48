#include "console/planning/csv.h"

namespace tarnwick {
namespace {

constexpr char Quote = '"';
constexpr char Apostrophe = '\'';

// A spreadsheet runs a cell that starts with one of these. Apostrophes before it count too, so
// that a text which itself starts with an apostrophe comes back whole.
bool FormulaLike(std::string_view cell) {
    const std::size_t first = cell.find_first_not_of(Apostrophe);
    return first != std::string_view::npos &&
           std::string_view("=+-@\t\r").find(cell[first]) != std::string_view::npos;
}

// 1 for LF or a CR alone, 2 for CRLF, 0 when no line ends at `i`.
std::size_t LineEndAt(std::string_view text, std::size_t i) {
    if (text[i] == '\n')
        return 1;
    if (text[i] != '\r')
        return 0;
    return i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
}

char SeparatorOfHeader(std::string_view text) {
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == Quote)
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

void Finish(CsvRow& row) {
    for (std::string& cell : row.cells)
        if (!cell.empty() && cell.front() == Apostrophe && FormulaLike(cell))
            cell.erase(0, 1);
}

} // namespace

std::string CsvRecord(const std::vector<std::string>& cells, char separator) {
    std::string record;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i != 0)
            record += separator;
        const std::string cell = FormulaLike(cells[i]) ? Apostrophe + cells[i] : cells[i];
        if (cell.find_first_of(std::string{Quote, separator, '\r', '\n'}) == std::string::npos) {
            record += cell;
            continue;
        }
        record += Quote;
        for (const char c : cell) {
            if (c == Quote)
                record += Quote;
            record += c;
        }
        record += Quote;
    }
    return record + "\r\n";
}

std::variant<std::vector<CsvRow>, std::string> ReadCsv(std::string_view text) {
    if (text.substr(0, Utf8ByteOrderMark.size()) == Utf8ByteOrderMark)
        text.remove_prefix(Utf8ByteOrderMark.size());
    const char separator = SeparatorOfHeader(text);
    std::vector<CsvRow> rows;
    CsvRow row{1, {std::string()}};
    int line = 1;
    bool quoted = false;
    bool atCellStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& cell = row.cells.back();
        const std::size_t lineEnd = LineEndAt(text, i);
        if (quoted) {
            // A line break in a cell is the cell's own, as written; it still counts as a line.
            if (c == Quote && i + 1 < text.size() && text[i + 1] == Quote)
                cell += text[++i];
            else if (c == Quote)
                quoted = false;
            else
                cell += text.substr(i, lineEnd == 0 ? 1 : lineEnd);
            line += lineEnd != 0 ? 1 : 0;
            i += lineEnd == 0 ? 0 : lineEnd - 1;
            continue;
        }
        if (c == Quote && atCellStart) {
            quoted = true;
            atCellStart = false;
        } else if (c == separator) {
            row.cells.emplace_back();
            atCellStart = true;
        } else if (lineEnd != 0) {
            i += lineEnd - 1;
            Finish(row);
            rows.push_back(std::move(row));
            row = {++line, {std::string()}};
            atCellStart = true;
        } else {
            cell += c;
            atCellStart = false;
        }
    }
    if (quoted)
        return "Line " + std::to_string(row.line) + ": a quoted cell is not closed.";
    if (row.cells.size() > 1 || !row.cells.back().empty()) {
        Finish(row);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace tarnwick
