// IPv4 addresses as numbers, for the rules that compare and count them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

inline constexpr int Ipv4Bits = 32;

// A non-empty address as the editor accepts it ("010" is ten); nothing otherwise.
std::optional<std::uint32_t> ParseIpv4(std::string_view text);
std::string FormatIpv4(std::uint32_t address);

std::uint32_t MaskOfPrefix(int prefixLength);
// The prefix length of a contiguous mask; nothing for one like 255.0.255.0.
std::optional<int> PrefixOfMask(std::uint32_t mask);

std::uint32_t NetworkOf(std::uint32_t address, int prefixLength);
std::uint32_t BroadcastOf(std::uint32_t address, int prefixLength);
// Whether `address` is its subnet's network or broadcast address; /31 and /32 have neither.
bool IsNetworkOrBroadcast(std::uint32_t address, int prefixLength);
// "10.231.0.0/16"
std::string SubnetText(std::uint32_t address, int prefixLength);

// What a range that no unit may take as its own address is for ("loopback", "multicast" ...),
// with the range; nothing for an ordinary address.
struct SpecialRange {
    const char* use;
    std::string range; // "127.0.0.0/8"
};
std::optional<SpecialRange> SpecialRangeOf(std::uint32_t address);
// A mask that leaves a unit a subnet with neighbours: neither 0.0.0.0 nor 255.255.255.255.
bool IsUsablePrefix(int prefixLength);

} // namespace tarnwick
