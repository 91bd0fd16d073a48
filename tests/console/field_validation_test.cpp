#include "console/table/field_validation.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(IsValidIPAddress, AcceptsPlainDottedQuadsAndEmpty) {
    for (const char* text : {"", "192.168.1.10", "0.0.0.0", "255.255.255.255", "255.0.255.0",
                             "192.168.001.010", "010.1.1.0255"})
        EXPECT_TRUE(IsValidIPAddress(text)) << text;
}

TEST(IsValidIPAddress, RefusesEverythingElse) {
    for (const char* text : {"192.168.1", "192.168.1.256", "1.2.3.4.5",
                             "a.b.c.d",   "1..2.3",        "192.168.1.",
                             ".1.2.3",    "...",           "1.2.3.-4",
                             "-1.2.3.4",  " 1.2.3.4",      "1.2.3.4 ",
                             "1. 2.3.4",  "+1.2.3.4",      "1.2.3.0256",
                             "1.2.3.0x1", "1.2.3.1e2",     "1,2,3,4",
                             "1.2.3.4\n", "1000.1.1.1",    "99999999999999999999.1.1.1"})
        EXPECT_FALSE(IsValidIPAddress(text)) << "[" << text << "]";
}

TEST(ValidationMessage, EachFieldItsOwnMessage) {
    struct Case {
        int field;
        const char* text;
        bool oneByte;
        const char* message; // nullptr: accepted
    };
    for (const Case& c : {
             Case{7, "192.168.1", true, "Incorrect IP Address."},
             Case{8, "192.168.1", true, "Incorrect Subnet mask."},
             Case{9, "192.168.1", true, "Gateway - Incorrect IP Address."},
             Case{11, "192.168.1", true, "DNS Server - Incorrect IP Address."},
             Case{8, "255.0.255.0", true, nullptr},
             Case{7, "", true, nullptr},
             Case{12, "any text at all", true, nullptr},
             Case{15, "", true, nullptr},
             Case{5, "12345678", true, nullptr},
             Case{12, "h\xc3\xb4te", false, "Host Name - Incorrect character."},
             Case{15, "x", false, "Unit ID - Incorrect character."},
             Case{5, "x", false, "Serial Number - Incorrect character."},
             Case{7, "1.2.3.4", false, "Incorrect IP Address."},
             // Control characters never reach a unit; the serial number holds eight.
             Case{12, "cam\n2", true, "Host Name - Incorrect character."},
             Case{15, "CAM\x7f", true, "Unit ID - Incorrect character."},
             Case{5, "SN\t1", true, "Serial Number - Incorrect character."},
             Case{5, "SN1234567", true, "Serial Number too long."},
             Case{12, "caf\xe9", true, nullptr},
         }) {
        const auto message = ValidationMessage(c.field, c.text, c.oneByte);
        if (c.message)
            EXPECT_EQ(message, std::string(c.message)) << c.field << " " << c.text;
        else
            EXPECT_FALSE(message) << c.field << " " << c.text;
    }
}

// A NUL inside a value would end it early on the wire.
TEST(TextProblem, ANulIsAControlCharacterAndAnUnfinishedAddressIsNone) {
    EXPECT_EQ(TextProblem(15, std::string("A\0B", 3), true), "Unit ID - Incorrect character.");
    EXPECT_FALSE(TextProblem(7, "192.16", true));
    EXPECT_EQ(TextProblem(7, "192.16\x01", true), "Incorrect IP Address.");
}

TEST(CommittedText, AddressesLoseTheirLeadingZerosAndOtherTextsStayAsTyped) {
    for (const auto& [field, typed, kept] :
         std::initializer_list<std::tuple<int, const char*, const char*>>{
             {7, "192.168.001.010", "192.168.1.10"},
             {9, "010.0.0.01", "10.0.0.1"},
             {11, "1.2.3", "1.2.3"},
             {12, "cam-007", "cam-007"},
             {15, "0012", "0012"}})
        EXPECT_EQ(CommittedText(field, typed), kept) << typed;
}

} // namespace
} // namespace tarnwick
