#include "cli/unit_listing.h"

#include "console/table/latin1_text.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <array>
#include <cctype>
#include <numeric>

namespace tarnwick::cli {
namespace {

// What people want to see first; the JSON and the CSV carry every column.
constexpr std::array TableColumns = {ColumnMACAddress, ColumnIPAddress,      ColumnSavedIPAddress,
                                     ColumnSubnetMask, ColumnDefaultGateway, ColumnDNSServer,
                                     ColumnHostName,   ColumnUnitID,         ColumnSerialNumber,
                                     ColumnUseDHCP,    ColumnSoftwareVersion};

std::string Text(const UnitTable& units, int row, int column) {
    if (column == ColumnUseDHCP)
        return units.Row(row).checked ? "TRUE" : "FALSE";
    return Latin1ToUtf8(units.CellAt(row, column).text);
}

} // namespace

std::vector<int> RowsByMac(const UnitTable& units) {
    std::vector<int> rows(static_cast<std::size_t>(units.UnitCount()));
    std::iota(rows.begin(), rows.end(), 1);
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        return units.CellAt(a, ColumnMACAddress).text < units.CellAt(b, ColumnMACAddress).text;
    });
    return rows;
}

std::string SnakeCase(std::string_view caption) {
    std::string key;
    for (const char c : caption) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (!key.empty() && key.back() != '_')
            key += '_';
    }
    while (!key.empty() && key.back() == '_')
        key.pop_back();
    return key;
}

QJsonObject UnitObject(const SessionState& state, int row) {
    QJsonObject unit;
    for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column) {
        const QString key = QString::fromStdString(
            SnakeCase(ListColumnHeaders[static_cast<std::size_t>(column - 1)]));
        if (column == ColumnUseDHCP)
            unit[key] = state.units.Row(row).checked;
        else
            unit[key] = QString::fromStdString(Text(state.units, row, column));
    }
    unit["reachable"] = !state.ReachabilityHint(row).has_value();
    return unit;
}

std::string AlignedTable(const std::vector<std::vector<std::string>>& rows) {
    // Characters, not bytes: a host name may carry Latin-1 letters.
    const auto width = [](const std::string& text) {
        return static_cast<std::size_t>(
            std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
    };
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], width(row[i]));
    }
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            text += i + 1 < row.size() ? row[i] + std::string(widths[i] + 2 - width(row[i]), ' ')
                                       : row[i];
        // An empty last cell leaves no padding behind.
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        text += '\n';
    }
    return text;
}

std::string ListTable(const SessionState& state) {
    std::vector<std::vector<std::string>> rows(1);
    for (const int column : TableColumns)
        rows[0].emplace_back(ListColumnHeaders[static_cast<std::size_t>(column - 1)]);
    for (const int row : RowsByMac(state.units)) {
        rows.emplace_back();
        for (const int column : TableColumns)
            rows.back().push_back(Text(state.units, row, column));
    }
    return AlignedTable(rows);
}

std::string ListCsv(const SessionState& state) {
    return ExportList(state, ',', RowsByMac(state.units));
}

std::string ListJson(const SessionState& state) {
    QJsonArray units;
    for (const int row : RowsByMac(state.units))
        units.append(UnitObject(state, row));
    const QJsonObject list{{"units", units},
                           {"lost_replies", static_cast<qint64>(state.recovery.LostInAll())}};
    return QJsonDocument(list).toJson(QJsonDocument::Indented).toStdString();
}

} // namespace tarnwick::cli
