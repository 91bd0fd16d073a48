#include "protocol/constants.h"
#include "protocol/datagram.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

TEST(Datagram, IdentificationRequestIsTheFixed24Bytes) {
    const std::string expected = "QZUDP001" + Bytes({0x41, 0, 0, 0, 0, 0, 0, 0, 0, 0x05, 0x00, 0x10,
                                                     0x04, 0x01, 0x00, 0x00});
    EXPECT_EQ(IdentificationRequest(), expected);
    EXPECT_EQ(IdentificationRequest().size(), 24u);
}

TEST(Datagram, LengthWordsAreLittleEndianFromTheDataPart) {
    struct Case {
        std::size_t dataSize;
        std::string lengthBytes; // MessageLength then DataLength
    };
    for (const Case& c :
         {Case{0, Bytes({0x05, 0x00, 0x00, 0x00})}, Case{300, Bytes({0x31, 0x01, 0x2C, 0x01})},
          Case{MaximumDataPartLength, Bytes({0xFF, 0xFF, 0xFA, 0xFF})}}) {
        const auto request =
            BuildRequest(FunctionCodeChangeSettings, MessageClass1, std::string(c.dataSize, 'x'));
        ASSERT_TRUE(request) << c.dataSize;
        EXPECT_EQ(request->size(), 24 + c.dataSize);
        EXPECT_EQ(request->substr(17, 2), c.lengthBytes.substr(0, 2)) << c.dataSize;
        EXPECT_EQ(request->substr(22, 2), c.lengthBytes.substr(2, 2)) << c.dataSize;
        EXPECT_EQ(request->substr(8, 1), "\x41");
        EXPECT_EQ(request->substr(19, 3), Bytes({19, 1, 1}));
    }
}

TEST(Datagram, DataPartTooLongForTheLengthWordIsRefused) {
    EXPECT_FALSE(BuildRequest(FunctionCodeSelectUnit, MessageClass6,
                              std::string(MaximumDataPartLength + 1, 'x')));
}

TEST(Datagram, FieldItemsUseTwoUppercaseDigits) {
    std::string data;
    AppendFieldItem(data, FieldNumberDeviceInformation, "x");
    AppendFieldItem(data, FieldNumberMACAddress, "00:1b");
    AppendFieldItem(data, FieldNumberUseDHCP, "");
    EXPECT_EQ(data, std::string("10:x\0"
                                "0D:00:1b\0"
                                "0A:\0",
                                18));
}

TEST(Datagram, DataPartStartsWithVersionWidthAndMasks) {
    EXPECT_EQ(BeginDataPart("001", 0x1000, 0x0080), std::string("001\0"
                                                                "0410000080",
                                                                14));
    EXPECT_EQ(BeginDataPart("001", 0, 0xA00), std::string("001\0"
                                                          "0400000A00",
                                                          14));
}

} // namespace
} // namespace tarnwick
