// Datagrams built byte by byte, with every header field under the test's control.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

namespace tarnwick::test {

struct RawDatagram {
    std::string magic = "QZUDP001";
    std::uint8_t commandBits = 0x01;
    std::uint8_t functionCode = 16;
    std::uint8_t messageClass = 5;
    std::uint8_t formatCode = 1;
    std::optional<std::uint16_t> messageLength; // default: 5 + data size
    std::string data;

    std::string Bytes() const;
};

// Data part of a reply: version, NUL, width, masks, then "<field>:<value>\0" items.
std::string ReplyData(std::initializer_list<std::pair<std::string, std::string>> items,
                      const std::string& version = "001", const std::string& width = "04",
                      const std::string& filterMask = "FFFF",
                      const std::string& changeMask = "0000");

// A well-formed identification reply (fields 1 to 16 as given by `items`).
std::string
IdentificationReplyBytes(std::initializer_list<std::pair<std::string, std::string>> items);
std::string ChangeReplyBytes(std::initializer_list<std::pair<std::string, std::string>> items);

// A full unit: fields 1 to 16 derived from `index`, MAC unique per index.
std::string SampleUnitReply(int index, bool changeReply = false);

} // namespace tarnwick::test
