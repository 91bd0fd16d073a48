// Rendering of the identification-reply fields beyond the sixteen settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The number in the value's last two characters, 0 when they do not start with a digit.
std::int32_t DecodeBackupStatus(std::string_view value);

// The text appended to the Device Information entry for field 17 and above (no comma): for free
// disk "Free Disk=<first>/<second>", a half that is not valid hex showing as "?"; for the backup
// status "Backups=<status text>".
std::string RenderExtraField(int fieldNumber, std::string_view value);
// The same text appended to `out`, without a temporary.
void AppendExtraField(std::string& out, int fieldNumber, std::string_view value);

} // namespace tarnwick
