// The list as tarnwick-cli prints it: every unit once, ordered by MAC address so two runs diff
// cleanly; aligned columns for people, the export's CSV or JSON for scripts.
#pragma once

#include "console/session/session_state.h"

#include <QJsonObject>

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::cli {

// The rows in the order of their MAC addresses.
std::vector<int> RowsByMac(const UnitTable& units);
// A column's caption as a JSON key: "Vendor / Manufacturer" is vendor_manufacturer.
std::string SnakeCase(std::string_view caption);
// One unit's fields under those keys (texts as UTF-8), with use_dhcp and reachable as booleans.
QJsonObject UnitObject(const SessionState& state, int row);

std::string ListTable(const SessionState& state);
std::string ListCsv(const SessionState& state);
std::string ListJson(const SessionState& state);

// Columns padded to their widest cell, two spaces apart; the last one not padded.
std::string AlignedTable(const std::vector<std::vector<std::string>>& rows);

} // namespace tarnwick::cli
