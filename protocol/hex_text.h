// ASCII hexadecimal numbers as the data part writes them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// Both cases are digits on receipt.
constexpr bool IsHexDigit(unsigned char byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'F') ||
           (byte >= 'a' && byte <= 'f');
}

constexpr int HexDigitValue(unsigned char byte) {
    if (byte >= '0' && byte <= '9')
        return byte - '0';
    if (byte >= 'a' && byte <= 'f')
        return 10 + (byte - 'a');
    return 10 + (byte - 'A');
}

// Appends one digit to `value`; false when `byte` is no hex digit or the value would pass
// `largest`. Every hex number of a datagram is read through this.
constexpr bool AppendHexDigit(std::uint32_t& value, unsigned char byte, std::uint32_t largest) {
    if (!IsHexDigit(byte))
        return false;
    const auto digit = static_cast<std::uint32_t>(HexDigitValue(byte));
    if (digit > largest || value > (largest - digit) / 16)
        return false;
    value = value * 16 + digit;
    return true;
}

// Uppercase, padded with "0" on the left to at least `width` digits.
std::string WriteHex(std::uint32_t value, int width);

// The whole text as one hex number, or nothing when it is empty, has a non-digit
// or does not fit in 32 bits.
std::optional<std::uint32_t> ReadHex32(std::string_view text);

} // namespace tarnwick
