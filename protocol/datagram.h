// Writing datagrams: the request header around a data part, and field items.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// Largest data part whose MessageLength still fits the 16-bit header word.
inline constexpr std::size_t MaximumDataPartLength = 0xFFFF - 5;

// Magic, command bits, zero reserved words, lengths, codes, format 1 and the data part.
// Nothing when the data part is too long for the header's length words.
std::optional<std::string> BuildDatagram(std::uint8_t commandBits, std::uint8_t functionCode,
                                         std::uint8_t messageClass, std::string_view dataPart);

// A console request: command bits 0x41.
std::optional<std::string> BuildRequest(std::uint8_t functionCode, std::uint8_t messageClass,
                                        std::string_view dataPart);

// The fixed 24-byte identification request.
const std::string& IdentificationRequest();

// Field number as two uppercase hex digits, ":", the value, NUL.
void AppendFieldItem(std::string& dataPart, int fieldNumber, std::string_view value);

// Version text, NUL, width "04" and both masks as four hex digits.
std::string BeginDataPart(std::string_view versionText, std::uint16_t filterMask,
                          std::uint16_t changeMask);

} // namespace tarnwick
