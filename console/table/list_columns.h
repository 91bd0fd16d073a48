// The sixteen columns of the unit list and which field each one shows.
#pragma once

#include <array>

namespace tarnwick {

// List columns are numbered 1 to 16; column 1 is the row item with its check box.
enum ListColumn : int {
    ColumnUseDHCP = 1,
    ColumnVendorManufacturer,
    ColumnSoftwareApplicationName,
    ColumnSoftwareVersion,
    ColumnHardwareVersion,
    ColumnUnitID,
    ColumnSerialNumber,
    ColumnIPAddress,
    ColumnSavedIPAddress,
    ColumnSubnetMask,
    ColumnDefaultGateway,
    ColumnDNSServer,
    ColumnHostName,
    ColumnMACAddress,
    ColumnDIPSwitch,
    ColumnDeviceInformation,
};
inline constexpr int ListViewFieldNumberColumnCount = ColumnDeviceInformation;

inline constexpr std::array<const char*, ListViewFieldNumberColumnCount> ListColumnHeaders = {
    "Use DHCP",
    "Vendor / Manufacturer",
    "Software Application Name",
    "Software Version",
    "Hardware Version",
    "Unit ID",
    "Serial Number",
    "IP Address",
    "Saved IP Address",
    "Subnet Mask",
    "Default Gateway",
    "DNS Server",
    "Host Name",
    "MAC Address",
    "DIP Switch",
    "Device Information"};

// The row item's own text.
inline constexpr char UseDHCPRowText[] = "Use DHCP";

// Field shown in each column (replies, change requests and the editor agree on it).
inline constexpr std::array<int, ListViewFieldNumberColumnCount> FieldOfColumn = {
    10, 1, 2, 3, 4, 15, 5, 6, 7, 8, 9, 11, 12, 13, 14, 16};

namespace detail {
constexpr std::array<int, ListViewFieldNumberColumnCount + 1> ColumnsOfFields() {
    std::array<int, ListViewFieldNumberColumnCount + 1> columns{};
    for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column)
        columns[static_cast<std::size_t>(FieldOfColumn[static_cast<std::size_t>(column - 1)])] =
            column;
    return columns;
}
inline constexpr auto ColumnOfFieldTable = ColumnsOfFields();
} // namespace detail

// Column of fields 1 to 16; 0 for any other number. A table: every reply asks for each field.
constexpr int ColumnOfField(int field) {
    return field >= 1 && field <= ListViewFieldNumberColumnCount
               ? detail::ColumnOfFieldTable[static_cast<std::size_t>(field)]
               : 0;
}

} // namespace tarnwick
