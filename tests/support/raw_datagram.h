// Datagrams built byte by byte, with every header field under the test's control, and the one
// maker of sample units.
#pragma once

#include "console/table/list_columns.h"
#include "console/table/unit_table.h"
#include "protocol/constants.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::test {

using Texts = std::vector<std::string>;

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

std::string
IdentificationReplyBytes(std::initializer_list<std::pair<std::string, std::string>> items);
std::string ChangeReplyBytes(std::initializer_list<std::pair<std::string, std::string>> items);

// Sample unit n: MAC 00:1B:2C:00:00:0n (for n < 16), Serial Number SN10000n, IP Address
// 10.0.0.n, Saved IP Address 10.1.0.n, Host Name kvq-n, Unit ID CAMn (none when n is a multiple
// of 3), DHCP on for odd n; its identification reply carries free disk and backup status too.
std::string SampleMac(int index);
std::string SampleUnitReply(int index, bool changeReply = false);

// A request as a word: "identify", "select n", "unselect n" (sample unit n, named by the
// default filter), "changes n" (a change request naming sample unit n); anything else stays
// bytes.
std::string Label(const std::string& datagram);
// Labels joined by ", ".
std::string Labels(const Texts& datagrams);

// A cell as "<text>[ red][ bold]", the first column with "[ checked]".
std::string CellText(const UnitTable& table, int row, int column);

// The columns tests edit, from the product's own map.

} // namespace tarnwick::test
