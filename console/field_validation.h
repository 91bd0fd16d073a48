// What an edited field must hold before it becomes a pending change.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// Characters the editor lets a serial number have.
inline constexpr int SerialNumberLimit = 8;

// Empty, or four dot-separated parts of plain decimal digits from 0 to 255, leading zeros
// included ("010" is ten, and is sent as typed). Blanks, signs and other forms are refused.
bool IsValidIPAddress(std::string_view text);

// The exclamation message for `text` in field `fieldNumber`; nothing when it is acceptable.
// `fitsOneByte`: every character of the text fits in one byte on the wire (Latin-1).
std::optional<std::string> ValidationMessage(int fieldNumber, std::string_view text,
                                             bool fitsOneByte);

} // namespace tarnwick
