#include "console/table/unit_search.h"

#include <algorithm>

namespace tarnwick {
namespace {

constexpr unsigned char Latin1UpperFirst = 0xC0;
constexpr unsigned char Latin1UpperLast = 0xDE;
constexpr unsigned char Latin1Multiply = 0xD7; // between the capitals, and no letter
constexpr int CaseDistance = 'a' - 'A';

char Folded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if ((c >= 'A' && c <= 'Z') ||
        (byte >= Latin1UpperFirst && byte <= Latin1UpperLast && byte != Latin1Multiply))
        return static_cast<char>(byte + CaseDistance);
    return c;
}

bool Holds(std::string_view cell, std::string_view text) {
    return std::search(cell.begin(), cell.end(), text.begin(), text.end(),
                       [](char a, char b) { return Folded(a) == Folded(b); }) != cell.end();
}

} // namespace

int FindNextRow(const UnitTable& units, int afterRow, std::string_view text) {
    const int count = units.UnitCount();
    if (text.empty() || count == 0)
        return 0;
    const int start = units.HasRow(afterRow) ? afterRow : 0;
    for (int step = 1; step <= count; ++step) {
        const int row = (start + step - 1) % count + 1;
        for (int column = ColumnUseDHCP + 1; column <= ListViewFieldNumberColumnCount; ++column)
            if (Holds(units.CellAt(row, column).text, text))
                return row;
    }
    return 0;
}

} // namespace tarnwick
