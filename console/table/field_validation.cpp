#include "console/table/field_validation.h"

#include "console/network/ipv4_address.h"
#include "protocol/constants.h"

#include <algorithm>

namespace tarnwick {
namespace {

constexpr int AddressParts = 4;
constexpr int LargestAddressPart = 255;
constexpr unsigned char FirstPrintable = 0x20;
constexpr unsigned char Delete = 0x7F;

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

// The four fields whose texts are addresses, each with the message of its own.
const char* AddressMessage(int fieldNumber) {
    switch (fieldNumber) {
    case FieldNumberSavedIPAddress:
        return "Incorrect IP Address.";
    case FieldNumberSubnetMask:
        return "Incorrect Subnet mask.";
    case FieldNumberDefaultGateway:
        return "Gateway - Incorrect IP Address.";
    case FieldNumberDNSServer:
        return "DNS Server - Incorrect IP Address.";
    default:
        return nullptr;
    }
}

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < FirstPrintable || byte == Delete;
}

} // namespace

bool IsAddressField(int fieldNumber) {
    return AddressMessage(fieldNumber) != nullptr;
}

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

std::optional<std::string> TextProblem(int fieldNumber, std::string_view text, bool fitsOneByte) {
    const bool badCharacter = !fitsOneByte || std::any_of(text.begin(), text.end(), IsControl);
    if (const char* message = AddressMessage(fieldNumber))
        return badCharacter ? std::optional<std::string>(message) : std::nullopt;
    switch (fieldNumber) {
    case FieldNumberSerialNumber:
        if (badCharacter)
            return "Serial Number - Incorrect character.";
        if (text.size() > static_cast<std::size_t>(SerialNumberLimit))
            return "Serial Number too long.";
        return std::nullopt;
    case FieldNumberUnitID:
        return badCharacter ? std::optional<std::string>("Unit ID - Incorrect character.")
                            : std::nullopt;
    default:
        return badCharacter ? std::optional<std::string>("Host Name - Incorrect character.")
                            : std::nullopt;
    }
}

std::optional<std::string> ValidationMessage(int fieldNumber, std::string_view text,
                                             bool fitsOneByte) {
    if (auto problem = TextProblem(fieldNumber, text, fitsOneByte))
        return problem;
    if (const char* message = AddressMessage(fieldNumber); message && !IsValidIPAddress(text))
        return message;
    return std::nullopt;
}

std::string CommittedText(int fieldNumber, std::string_view text) {
    if (IsAddressField(fieldNumber))
        if (const auto address = ParseIpv4(text))
            return FormatIpv4(*address);
    return std::string(text);
}

} // namespace tarnwick
