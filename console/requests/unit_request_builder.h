// The requests addressed to one unit: masks from the filter menu and the row's marks,
// and the datagram that names the unit by its identification items.
#pragma once

#include "console/table/unit_table.h"
#include "protocol/message_report.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tarnwick {

using MessageSink = std::function<void(const MessageReport&)>;

// Column read for field n (index n-1); 0 where a map has no column.
using ColumnMap = std::array<int, 16>;

// Replies and change requests: the field's own column.
const ColumnMap& ChangeColumnMap();
// Select and unselect: field n is read from column n + 1.
const ColumnMap& SelectColumnMap();

// The ten filter menu items in menu order, with the field each one stands for.
struct FilterMenuItem {
    const char* name;
    const char* caption;
    int field;
    bool checkedAtStart;
    bool offered;
};
extern const std::array<FilterMenuItem, 10> IdentificationFilterMenu;

// "Error - Version Number" for a row whose version the console does not speak.
MessageReport UnknownVersionReport(const std::string& version);

// The FilterMask for `row`: `checkedBits` (the menu's marks) when the row speaks "001".
std::uint16_t GetIdentificationFilterBits(const UnitTable& table, int row,
                                          std::uint16_t checkedBits, const MessageSink& report);

// The ChangeMask for `row`: one bit per marked (red) cell.
std::uint16_t GetChangedFieldBits(const UnitTable& table, int row, const MessageSink& report);

// Header and data part; nothing when the texts are too long for one datagram.
std::optional<std::string> BuildUnitRequest(std::uint8_t functionCode, std::uint8_t messageClass,
                                            const std::string& versionText,
                                            std::uint16_t filterMask, std::uint16_t changeMask,
                                            const UnitTable& table, int row,
                                            const ColumnMap& identificationMap);

} // namespace tarnwick
