// What an edited field must hold before it becomes a pending change: one rule for every road a
// text takes into a cell (typed, pasted, dropped, planned, assigned).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// Characters the editor lets a serial number have.
inline constexpr int SerialNumberLimit = 8;

// Saved IP Address, Subnet Mask, Default Gateway and DNS Server hold addresses.
bool IsAddressField(int fieldNumber);

// Empty, or four dot-separated parts of plain decimal digits from 0 to 255, leading zeros
// included ("010" is ten). Blanks, signs and other forms are refused.
bool IsValidIPAddress(std::string_view text);

// What is wrong with the characters or the length of `text` for field `fieldNumber`, whether
// or not it is complete yet: a character the wire cannot carry as one byte (`fitsOneByte`
// false), a control character (a NUL would end the value early on the wire), or more than the
// field holds. Nothing when neither.
std::optional<std::string> TextProblem(int fieldNumber, std::string_view text, bool fitsOneByte);

// The exclamation message for `text` in field `fieldNumber`; nothing when it is acceptable.
std::optional<std::string> ValidationMessage(int fieldNumber, std::string_view text,
                                             bool fitsOneByte);

// The text as a cell keeps it once committed: an address in its plain form ("192.168.001.010"
// is "192.168.1.10": a unit that reads "010" as octal would otherwise take eight), anything
// else as it is.
std::string CommittedText(int fieldNumber, std::string_view text);

} // namespace tarnwick
