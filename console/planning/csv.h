// Comma-separated values as spreadsheets write and read them (RFC 4180), byte for byte.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarnwick {

// Without it the most common spreadsheet reads UTF-8 as its own locale's code page.
inline constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

// One record with its CRLF; cells are quoted only when they must be. A cell a spreadsheet would
// take for a formula (=, +, -, @, tab or CR first) is written after an apostrophe, as text.
std::string CsvRecord(const std::vector<std::string>& cells, char separator = ',');

struct CsvRow {
    int line = 0; // where the record starts, from 1
    std::vector<std::string> cells;
};

// The records of a file: CR, LF or CRLF, a leading UTF-8 byte order mark skipped, and semicolons
// as the separator when the header line has more of them than commas (many locales' default).
// The apostrophe CsvRecord puts before a formula-like cell is taken off again.
// What is wrong, in words, when a quoted cell never ends.
std::variant<std::vector<CsvRow>, std::string> ReadCsv(std::string_view text);

} // namespace tarnwick
