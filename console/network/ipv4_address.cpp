#include "console/network/ipv4_address.h"

#include "console/table/field_validation.h"

namespace tarnwick {
namespace {

constexpr int OctetBits = 8;
constexpr std::uint32_t OctetMask = 0xFF;
// Below /31 a subnet gives up its first and last address.
constexpr int LongestPrefixWithBroadcast = 30;

struct Reserved {
    std::uint32_t network;
    int prefixLength;
    const char* use;
};
// "This network", loopback, multicast, and the former class E with the limited broadcast.
constexpr Reserved ReservedRanges[] = {{0x00000000, 8, "this network"},
                                       {0x7F000000, 8, "loopback"},
                                       {0xE0000000, 4, "multicast"},
                                       {0xF0000000, 4, "reserved"}};

} // namespace

std::optional<std::uint32_t> ParseIpv4(std::string_view text) {
    if (text.empty() || !IsValidIPAddress(text))
        return std::nullopt;
    std::uint32_t address = 0;
    std::uint32_t part = 0;
    for (const char c : text) {
        if (c == '.') {
            address = (address << OctetBits) | part;
            part = 0;
        } else {
            part = part * 10 + static_cast<std::uint32_t>(c - '0');
        }
    }
    return (address << OctetBits) | part;
}

std::string FormatIpv4(std::uint32_t address) {
    std::string text;
    for (int shift = Ipv4Bits - OctetBits; shift >= 0; shift -= OctetBits) {
        text += std::to_string((address >> shift) & OctetMask);
        if (shift != 0)
            text += '.';
    }
    return text;
}

std::uint32_t MaskOfPrefix(int prefixLength) {
    if (prefixLength <= 0)
        return 0;
    if (prefixLength >= Ipv4Bits)
        return ~std::uint32_t{0};
    return ~std::uint32_t{0} << (Ipv4Bits - prefixLength);
}

std::optional<int> PrefixOfMask(std::uint32_t mask) {
    int prefix = 0;
    while (prefix < Ipv4Bits && (mask & (std::uint32_t{1} << (Ipv4Bits - 1 - prefix))) != 0)
        ++prefix;
    if (MaskOfPrefix(prefix) != mask)
        return std::nullopt;
    return prefix;
}

std::uint32_t NetworkOf(std::uint32_t address, int prefixLength) {
    return address & MaskOfPrefix(prefixLength);
}

std::uint32_t BroadcastOf(std::uint32_t address, int prefixLength) {
    return address | ~MaskOfPrefix(prefixLength);
}

bool IsNetworkOrBroadcast(std::uint32_t address, int prefixLength) {
    return prefixLength <= LongestPrefixWithBroadcast &&
           (address == NetworkOf(address, prefixLength) ||
            address == BroadcastOf(address, prefixLength));
}

std::string SubnetText(std::uint32_t address, int prefixLength) {
    return FormatIpv4(NetworkOf(address, prefixLength)) + "/" + std::to_string(prefixLength);
}

std::optional<SpecialRange> SpecialRangeOf(std::uint32_t address) {
    for (const Reserved& r : ReservedRanges)
        if (NetworkOf(address, r.prefixLength) == r.network)
            return SpecialRange{r.use, SubnetText(r.network, r.prefixLength)};
    return std::nullopt;
}

bool IsUsablePrefix(int prefixLength) {
    return prefixLength > 0 && prefixLength < Ipv4Bits;
}

} // namespace tarnwick
