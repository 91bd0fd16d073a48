#include "tests/support/raw_datagram.h"

#include "protocol/datagram.h"

#include <cstdio>

namespace tarnwick::test {

std::string RawDatagram::Bytes() const {
    std::string out = magic;
    out.push_back(static_cast<char>(commandBits));
    out.append(8, '\0');
    const std::uint16_t length =
        messageLength.value_or(static_cast<std::uint16_t>(5 + data.size()));
    out.push_back(static_cast<char>(length & 0xFF));
    out.push_back(static_cast<char>(length >> 8));
    out.push_back(static_cast<char>(functionCode));
    out.push_back(static_cast<char>(messageClass));
    out.push_back(static_cast<char>(formatCode));
    out.push_back(static_cast<char>(data.size() & 0xFF));
    out.push_back(static_cast<char>((data.size() >> 8) & 0xFF));
    return out + data;
}

std::string ReplyData(std::initializer_list<std::pair<std::string, std::string>> items,
                      const std::string& version, const std::string& width,
                      const std::string& filterMask, const std::string& changeMask) {
    std::string data = version;
    data.push_back('\0');
    data += width + filterMask + changeMask;
    for (const auto& [field, value] : items) {
        data += field + ":" + value;
        data.push_back('\0');
    }
    return data;
}

std::string
IdentificationReplyBytes(std::initializer_list<std::pair<std::string, std::string>> items) {
    RawDatagram d;
    d.data = ReplyData(items);
    return d.Bytes();
}

std::string ChangeReplyBytes(std::initializer_list<std::pair<std::string, std::string>> items) {
    RawDatagram d;
    d.functionCode = FunctionCodeChangeSettings;
    d.messageClass = MessageClassChangeReply;
    d.data = ReplyData(items);
    return d.Bytes();
}

std::string SampleMac(int index) {
    char mac[32];
    std::snprintf(mac, sizeof mac, "00:1B:2C:%02X:%02X:%02X", (index >> 16) & 0xFF,
                  (index >> 8) & 0xFF, index & 0xFF);
    return mac;
}

std::string SampleUnitReply(int index, bool changeReply) {
    const std::string low =
        std::to_string((index >> 8) & 0xFF) + "." + std::to_string(index & 0xFF);
    RawDatagram d;
    if (changeReply) {
        d.functionCode = FunctionCodeChangeSettings;
        d.messageClass = MessageClassChangeReply;
    }
    d.data = ReplyData({{"01", "Lumivar"},
                        {"02", "KVQ Video Server"},
                        {"03", "3.14.2"},
                        {"04", "HW-B2"},
                        {"05", "SN" + std::to_string(100000 + index)},
                        {"06", "10.0." + low},
                        {"07", "10.1." + low},
                        {"08", "255.255.0.0"},
                        {"09", "10.0.0.1"},
                        {"0A", index % 2 ? "TRUE" : "FALSE"},
                        {"0B", "10.0.0.2"},
                        {"0C", "kvq-" + std::to_string(index)},
                        {"0D", SampleMac(index)},
                        {"0E", "0101"},
                        {"0F", index % 3 ? "CAM" + std::to_string(index) : ""},
                        {"10", "4 channels"}});
    if (!changeReply)
        d.data += std::string("11:0000040000001000") + '\0' + "12:01" + '\0';
    return d.Bytes();
}

std::string Label(const std::string& datagram) {
    if (datagram == IdentificationRequest())
        return "identify";
    const std::string named = BeginDataPart(VersionNumbers001, KeyFieldMask, 0);
    for (int unit = 1; unit <= 9; ++unit) {
        const std::string n = " " + std::to_string(unit);
        std::string item;
        AppendFieldItem(item, FieldNumberMACAddress, SampleMac(unit));
        if (datagram ==
            *BuildRequest(FunctionCodeSelectUnit, MessageClassSelectRequest, named + item))
            return "select" + n;
        if (datagram ==
            *BuildRequest(FunctionCodeUnselectUnit, MessageClassSelectRequest, named + item))
            return "unselect" + n;
        if (datagram.size() > MessageFieldsStartPositionsFunctionCode &&
            datagram[MessageFieldsStartPositionsFunctionCode] == FunctionCodeChangeSettings &&
            datagram.find(SampleMac(unit)) != std::string::npos)
            return "changes" + n;
    }
    return datagram;
}

std::string CellText(const UnitTable& table, int row, int column) {
    const Cell& cell = table.CellAt(row, column);
    return cell.text + (cell.colour == ColourRed ? " red" : "") + (cell.bold ? " bold" : "") +
           (column == 1 && table.Row(row).checked ? " checked" : "");
}

std::string Labels(const Texts& datagrams) {
    std::string labels;
    for (const std::string& datagram : datagrams)
        labels += (labels.empty() ? "" : ", ") + Label(datagram);
    return labels;
}

} // namespace tarnwick::test
