#include "console/requests/unit_request_builder.h"

#include "console/table/list_columns.h"
#include "protocol/constants.h"
#include "protocol/datagram.h"

namespace tarnwick {
namespace {

std::string ValueText(const UnitTable& table, int row, int column) {
    if (column == ColumnUseDHCP)
        return table.Row(row).checked ? DHCPTextOn : DHCPTextOff;
    return column == 0 ? std::string() : table.CellAt(row, column).text;
}

void AppendItems(std::string& data, std::uint16_t mask, const UnitTable& table, int row,
                 const ColumnMap& map) {
    for (int field = 1; field <= FieldNumberLastSetting; ++field)
        if (mask & FieldBit(field))
            AppendFieldItem(data, field,
                            ValueText(table, row, map[static_cast<std::size_t>(field - 1)]));
}

bool SpeaksVersion001(const UnitTable& table, int row) {
    return table.Row(row).version == VersionNumbers001;
}

} // namespace

const ColumnMap& ChangeColumnMap() {
    static const ColumnMap map = [] {
        ColumnMap m{};
        for (int field = 1; field <= FieldNumberLastSetting; ++field)
            m[static_cast<std::size_t>(field - 1)] = ColumnOfField(field);
        return m;
    }();
    return map;
}

const ColumnMap& SelectColumnMap() {
    static const ColumnMap map = [] {
        ColumnMap m{};
        for (int field = 1; field < ListViewFieldNumberColumnCount; ++field)
            m[static_cast<std::size_t>(field - 1)] = field + 1;
        return m;
    }();
    return map;
}

// "&User Name" sets the bit of field 6 and "&IP Address" that of field 7, whatever the captions
// say.
const std::array<FilterMenuItem, 10> IdentificationFilterMenu = {{
    {"mnuVendorManufacturer", "Vendor / &Manufacturer", FieldNumberVendorManufacturer, false,
     false},
    {"mnuSoftwareApplicationName", "Software Applicaion &Name", FieldNumberSoftwareApplicationName,
     false, false},
    {"mnuSoftwareVersion", "Software &Version", FieldNumberSoftwareVersion, false, false},
    {"mnuHardwareVersion", "&Hardware Version", FieldNumberHardwareVersion, false, false},
    {"mnuSerialNumber", "&Serial Number", FieldNumberSerialNumber, false, false},
    {"mnuUserName", "&User Name", FieldNumberIPAddress, false, false},
    {"mnuIPAddress", "&IP Address", FieldNumberSavedIPAddress, false, true},
    {"mnuMACAddress", "MA&C Address", FieldNumberMACAddress, true, true},
    {"mnuHostName", "&Host Name", FieldNumberHostName, false, false},
    {"mnuDIPSwitch", "&DIP Switch", FieldNumberDIPSwitch, false, false},
}};

MessageReport UnknownVersionReport(const std::string& version) {
    return {MessageIcon::Information, "Error - Version Number",
            version + " - unknown version number."};
}

std::uint16_t GetIdentificationFilterBits(const UnitTable& table, int row,
                                          std::uint16_t checkedBits, const MessageSink& report) {
    if (!SpeaksVersion001(table, row)) {
        report(UnknownVersionReport(table.Row(row).version));
        return 0;
    }
    return checkedBits;
}

std::uint16_t GetChangedFieldBits(const UnitTable& table, int row, const MessageSink& report) {
    std::uint16_t mask = 0;
    // Device Information (column 16) has no field a change request can carry.
    for (int column = 1; column < ColumnDeviceInformation; ++column) {
        if (!IsPending(table.CellAt(row, column)))
            continue;
        if (!SpeaksVersion001(table, row)) {
            report(UnknownVersionReport(table.Row(row).version));
            continue;
        }
        mask |= FieldBit(FieldOfColumn[static_cast<std::size_t>(column - 1)]);
    }
    return mask;
}

std::optional<std::string> BuildUnitRequest(std::uint8_t functionCode, std::uint8_t messageClass,
                                            const std::string& versionText,
                                            std::uint16_t filterMask, std::uint16_t changeMask,
                                            const UnitTable& table, int row,
                                            const ColumnMap& identificationMap) {
    std::string data = BeginDataPart(versionText, filterMask, changeMask);
    AppendItems(data, filterMask, table, row, identificationMap);
    AppendItems(data, changeMask, table, row, ChangeColumnMap());
    return BuildRequest(functionCode, messageClass, data);
}

} // namespace tarnwick
