#include "console/csv.h"

namespace tarnwick {
namespace {

constexpr char Quote = '"';
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

char SeparatorOfHeader(std::string_view text) {
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == Quote)
            quoted = !quoted;
        else if (!quoted && c == '\n')
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

} // namespace

std::string CsvRecord(const std::vector<std::string>& cells, char separator) {
    std::string record;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i != 0)
            record += separator;
        const std::string& cell = cells[i];
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
    if (text.substr(0, ByteOrderMark.size()) == ByteOrderMark)
        text.remove_prefix(ByteOrderMark.size());
    const char separator = SeparatorOfHeader(text);
    std::vector<CsvRow> rows;
    CsvRow row{1, {std::string()}};
    int line = 1;
    bool quoted = false;
    bool atCellStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& cell = row.cells.back();
        if (quoted) {
            if (c == Quote && i + 1 < text.size() && text[i + 1] == Quote)
                cell += text[++i];
            else if (c == Quote)
                quoted = false;
            else
                cell += c;
            line += c == '\n' ? 1 : 0;
            continue;
        }
        if (c == Quote && atCellStart) {
            quoted = true;
            atCellStart = false;
        } else if (c == separator) {
            row.cells.emplace_back();
            atCellStart = true;
        } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            i += c == '\r' ? 1 : 0;
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
    if (row.cells.size() > 1 || !row.cells.back().empty())
        rows.push_back(std::move(row));
    return rows;
}

} // namespace tarnwick
