#include "protocol/extras_rendering.h"

#include "protocol/constants.h"
#include "protocol/hex_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace tarnwick {
namespace {

constexpr std::size_t FreeDiskHalfDigits = 8;
constexpr std::size_t BackupStatusDigits = 2;
constexpr std::array<const char*, 5> BackupStatusNames = {
    "Not Available!", "Available", "CRC Error!", "Size Error!", "Not Found!"};

void AppendHalf(std::string& out, std::string_view half) {
    const auto value = ReadHex32(half);
    if (!value) {
        out += '?';
        return;
    }
    // Eight digits F read as -1: the unit sends two signed 32-bit numbers.
    std::array<char, std::numeric_limits<std::int32_t>::digits10 + 2> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(),
                                   static_cast<std::int32_t>(*value))
                         .ptr;
    out.append(digits.data(), end);
}

void AppendFreeDisk(std::string& out, std::string_view value) {
    const std::size_t take = std::min(value.size(), FreeDiskHalfDigits);
    out += "Free Disk=";
    AppendHalf(out, value.substr(0, take));
    out += '/';
    AppendHalf(out, value.substr(value.size() - take));
}

void AppendBackupStatus(std::string& out, std::string_view value) {
    const std::int32_t status = DecodeBackupStatus(value);
    out += "Backups=";
    if (status >= 0 && status < static_cast<std::int32_t>(BackupStatusNames.size()))
        out += BackupStatusNames[static_cast<std::size_t>(status)];
    else
        out += value;
}

} // namespace

std::int32_t DecodeBackupStatus(std::string_view value) {
    const std::size_t take = std::min(value.size(), BackupStatusDigits);
    std::int32_t number = 0;
    for (const char c : value.substr(value.size() - take)) {
        if (c < '0' || c > '9')
            break;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::string RenderExtraField(int fieldNumber, std::string_view value) {
    std::string text;
    AppendExtraField(text, fieldNumber, value);
    return text;
}

void AppendExtraField(std::string& out, int fieldNumber, std::string_view value) {
    switch (fieldNumber) {
    case FieldNumberFreeDisk:
        AppendFreeDisk(out, value);
        break;
    case FieldNumberBackupStatus:
        AppendBackupStatus(out, value);
        break;
    default:
        out += value;
    }
}

} // namespace tarnwick
