// Comma-separated values as spreadsheets write and read them (RFC 4180), byte for byte.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarnwick {

// One record with its CRLF; cells are quoted only when they must be.
std::string CsvRecord(const std::vector<std::string>& cells, char separator = ',');

struct CsvRow {
    int line = 0; // where the record starts, from 1
    std::vector<std::string> cells;
};

// The records of a file: CRLF or LF, a leading UTF-8 byte order mark skipped, and semicolons
// as the separator when the header line has more of them than commas (many locales' default).
// What is wrong, in words, when a quoted cell never ends.
std::variant<std::vector<CsvRow>, std::string> ReadCsv(std::string_view text);

} // namespace tarnwick
