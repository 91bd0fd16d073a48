#include "protocol/extras_rendering.h"

#include "protocol/constants.h"
#include "protocol/hex_text.h"

#include <array>

namespace tarnwick {
namespace {

constexpr std::size_t FreeDiskHalfDigits = 8;
constexpr std::size_t BackupStatusDigits = 2;

std::string RenderHalf(std::string_view half) {
    const auto value = ReadHex32(half);
    if (!value)
        return "?";
    // Eight digits F read as -1: the unit sends two signed 32-bit numbers.
    return std::to_string(static_cast<std::int32_t>(*value));
}

} // namespace

std::string RenderFreeDisk(std::string_view value) {
    const std::size_t take = std::min(value.size(), FreeDiskHalfDigits);
    const std::string_view first = value.substr(0, take);
    const std::string_view last = value.substr(value.size() - take);
    return "Free Disk=" + RenderHalf(first) + "/" + RenderHalf(last);
}

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

std::string RenderBackupStatus(std::string_view value) {
    static constexpr std::array<const char*, 5> names = {"Not Available!", "Available",
                                                         "CRC Error!", "Size Error!", "Not Found!"};
    const std::int32_t status = DecodeBackupStatus(value);
    if (status >= 0 && status < static_cast<std::int32_t>(names.size()))
        return std::string("Backups=") + names[static_cast<std::size_t>(status)];
    return "Backups=" + std::string(value);
}

std::string RenderExtraField(int fieldNumber, std::string_view value) {
    switch (fieldNumber) {
    case FieldNumberFreeDisk:
        return RenderFreeDisk(value);
    case FieldNumberBackupStatus:
        return RenderBackupStatus(value);
    default:
        return std::string(value);
    }
}

} // namespace tarnwick
