#include "console/field_validation.h"

#include "protocol/constants.h"

namespace tarnwick {
namespace {

constexpr int AddressParts = 4;
constexpr int LargestAddressPart = 255;

bool IsAddressPart(std::string_view part) {
    if (part.empty())
        return false;
    int value = 0;
    for (const char c : part) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
        if (value > LargestAddressPart)
            return false;
    }
    return true;
}

} // namespace

bool IsValidIPAddress(std::string_view text) {
    if (text.empty())
        return true;
    int parts = 0;
    for (;;) {
        const std::size_t dot = text.find('.');
        if (!IsAddressPart(text.substr(0, dot)) || ++parts > AddressParts)
            return false;
        if (dot == std::string_view::npos)
            break;
        text.remove_prefix(dot + 1);
    }
    return parts == AddressParts;
}

std::optional<std::string> ValidationMessage(int fieldNumber, std::string_view text,
                                             bool fitsOneByte) {
    const char* addressMessage = nullptr;
    switch (fieldNumber) {
    case FieldNumberSavedIPAddress:
        addressMessage = "Incorrect IP Address.";
        break;
    case FieldNumberSubnetMask:
        addressMessage = "Incorrect Subnet mask.";
        break;
    case FieldNumberDefaultGateway:
        addressMessage = "Gateway - Incorrect IP Address.";
        break;
    case FieldNumberDNSServer:
        addressMessage = "DNS Server - Incorrect IP Address.";
        break;
    default:
        break;
    }
    if (addressMessage)
        return fitsOneByte && IsValidIPAddress(text) ? std::nullopt
                                                     : std::optional<std::string>(addressMessage);
    if (fitsOneByte)
        return std::nullopt;
    // The wire carries one byte per character: say so rather than send something else.
    switch (fieldNumber) {
    case FieldNumberSerialNumber:
        return "Serial Number - Incorrect character.";
    case FieldNumberUnitID:
        return "Unit ID - Incorrect character.";
    default:
        return "Host Name - Incorrect character.";
    }
}

} // namespace tarnwick
