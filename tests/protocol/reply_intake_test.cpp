#include "protocol/reply_intake.h"
#include "tests/support/raw_datagram.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::RawDatagram;
using test::ReplyData;

const std::vector<std::string> kLocal = {"192.168.7.5", "10.1.1.1"};
constexpr char kUnit[] = "192.168.7.20";

IntakeOutcome Take(const std::string& bytes, const char* sender = kUnit) {
    return TakeDatagram(bytes, sender, kLocal);
}

std::string MinimalData() {
    return ReplyData({{"0D", "00:11:22:33:44:55"}});
}

// What a test expects from intake, in one comparable word.
std::string Kind(const IntakeOutcome& outcome) {
    if (std::holds_alternative<Dropped>(outcome))
        return "drop";
    if (const auto* r = std::get_if<MessageReport>(&outcome))
        return "box " + r->title + " [" + r->text + "]";
    if (std::holds_alternative<IdentificationReply>(outcome))
        return "id";
    return std::get<ChangeReply>(outcome).valid ? "change" : "change-invalid";
}

TEST(ReplyIntake, DispatchByFunctionCodeAndClass) {
    struct Case {
        int function;
        int messageClass;
        std::string expected;
    };
    std::vector<Case> cases;
    for (int f = 1; f <= 7; ++f)
        cases.push_back({f, 5, "drop"});
    for (int c : {1, 2, 3, 4, 6})
        cases.push_back({16, c, "drop"});
    cases.push_back({16, 5, "id"});
    for (int f : {17, 18})
        for (int c = 1; c <= 6; ++c)
            cases.push_back({f, c, "drop"});
    for (int c = 1; c <= 5; ++c)
        cases.push_back({19, c, "drop"});
    cases.push_back({19, 6, "change"});
    for (int f : {16, 17, 18, 19}) {
        cases.push_back({f, 0, "box Unknown Message Class [0]"});
        cases.push_back({f, 7, "box Unknown Message Class [7]"});
        cases.push_back({f, 255, "box Unknown Message Class [255]"});
    }
    for (int f : {0, 8, 15, 20, 255})
        cases.push_back({f, 5, "box Unknown Function Code [" + std::to_string(f) + "]"});

    for (const Case& c : cases) {
        RawDatagram d;
        d.functionCode = static_cast<std::uint8_t>(c.function);
        d.messageClass = static_cast<std::uint8_t>(c.messageClass);
        d.data = MinimalData();
        EXPECT_EQ(Kind(Take(d.Bytes())), c.expected)
            << "function " << c.function << " class " << c.messageClass;
    }
}

TEST(ReplyIntake, HeaderChecksInTheirOrder) {
    RawDatagram valid;
    valid.data = MinimalData();
    const std::string good = valid.Bytes();

    struct Case {
        const char* name;
        std::string bytes;
        const char* sender;
        std::string expected;
    };
    auto with = [&](auto change) {
        RawDatagram d = valid;
        change(d);
        return d.Bytes();
    };
    const std::vector<Case> cases = {
        {"own broadcast", good, "10.1.1.1", "drop"},
        {"other magic is processed", with([](RawDatagram& d) { d.magic = "XXXXXXXX"; }), kUnit,
         "id"},
        {"10 bytes", good.substr(0, 10), kUnit, "drop"},
        {"11 bytes ends before the header words", good.substr(0, 11), kUnit, "drop"},
        {"18 bytes, bad command bits, still too short",
         with([](RawDatagram& d) { d.commandBits = 3; }).substr(0, 18), kUnit, "drop"},
        {"console's own request", with([](RawDatagram& d) { d.commandBits = 0x41; }), kUnit,
         "drop"},
        {"any bits with 0x40", with([](RawDatagram& d) { d.commandBits = 0xC3; }), kUnit, "drop"},
        {"command bits 2", with([](RawDatagram& d) { d.commandBits = 2; }), kUnit, "drop"},
        {"command bits 4", with([](RawDatagram& d) { d.commandBits = 4; }), kUnit, "drop"},
        {"command bits 8", with([](RawDatagram& d) { d.commandBits = 8; }), kUnit, "drop"},
        {"command bits 3", with([](RawDatagram& d) { d.commandBits = 3; }), kUnit,
         "box Unknown Command Bits [3]"},
        {"command bits 0", with([](RawDatagram& d) { d.commandBits = 0; }), kUnit,
         "box Unknown Command Bits [0]"},
        {"command bits 0x81", with([](RawDatagram& d) { d.commandBits = 0x81; }), kUnit,
         "box Unknown Command Bits [129]"},
        {"message length 4", with([](RawDatagram& d) { d.messageLength = 4; }), kUnit, "drop"},
        {"message length 12", with([](RawDatagram& d) { d.messageLength = 12; }), kUnit,
         "box Incorrect version number. []"},
        {"message length 5", with([](RawDatagram& d) { d.messageLength = 5; }), kUnit,
         "box Incorrect version number. []"},
        {"message length 12 beats the function code", with([](RawDatagram& d) {
             d.messageLength = 12;
             d.functionCode = 20;
         }),
         kUnit, "box Incorrect version number. []"},
        {"message length 13, function 5", with([](RawDatagram& d) {
             d.messageLength = 13;
             d.functionCode = 5;
         }),
         kUnit, "drop"},
        {"message length 13, function 20", with([](RawDatagram& d) {
             d.messageLength = 13;
             d.functionCode = 20;
         }),
         kUnit, "box Unknown Function Code [20]"},
        {"message length 13 reads an empty version",
         with([](RawDatagram& d) { d.messageLength = 13; }), kUnit,
         "box Version Number - Error [Unknown version number <> from 192.168.7.20]"},
        {"message length past the datagram", with([](RawDatagram& d) {
             d.messageLength = static_cast<std::uint16_t>(6 + d.data.size());
         }),
         kUnit, "drop"},
        {"message length with the high bit", with([](RawDatagram& d) { d.messageLength = 0x8005; }),
         kUnit, "drop"},
        {"header only, no data", good.substr(0, 24), kUnit, "drop"},
        // The version is read below MessageLength + 11: a short data part cuts it.
        {"data part ends after the width", with([](RawDatagram& d) {
             d.data = std::string("001\0"
                                  "04",
                                  6);
         }),
         kUnit, "box Incorrect version number. []"},
        {"version cut by the window", with([](RawDatagram& d) {
             d.data = std::string("001\0"
                                  "041000",
                                  10);
         }),
         kUnit, "box Version Number - Error [Unknown version number <00> from 192.168.7.20]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Kind(TakeDatagram(c.bytes, c.sender, kLocal)), c.expected) << c.name;
}

TEST(ReplyIntake, UnknownVersionsAreReportedWithPlainTexts) {
    RawDatagram id;
    id.data = ReplyData({{"0D", "m"}}, "002");
    EXPECT_EQ(std::get<MessageReport>(Take(id.Bytes())),
              (MessageReport{MessageIcon::Information, "Version Number - Error",
                             "Unknown version number <002> from 192.168.7.20"}));

    RawDatagram change = id;
    change.functionCode = 19;
    change.messageClass = 6;
    EXPECT_EQ(std::get<MessageReport>(Take(change.Bytes())),
              (MessageReport{MessageIcon::Information, "Unknown Version Number", "002"}));
}

TEST(ReplyIntake, TrailingBytesAfterMessageLengthAreIgnored) {
    RawDatagram d;
    d.data = MinimalData();
    const std::string bytes = d.Bytes() + std::string("garbage\x01\x02", 9);
    const auto reply = std::get<IdentificationReply>(Take(bytes));
    EXPECT_EQ(reply.fields[12].value, "00:11:22:33:44:55");
}

// The data part grammar: each case is a data part and whether an identification reply and a
// change reply carrying it are valid.
TEST(ReplyIntake, DataPartGrammar) {
    struct Case {
        const char* name;
        std::string data;
        bool idValid;
        bool changeValid;
    };
    const std::string nul(1, '\0');
    const std::vector<Case> cases = {
        {"minimal", MinimalData(), true, true},
        {"empty MAC value", ReplyData({{"0D", ""}}), true, true},
        {"lowercase field and masks", ReplyData({{"0d", "x"}}, "001", "04", "ffff", "abcd"), true,
         true},
        {"ends right after change mask", "001" + nul + "0410000000", false, false},
        {"ends after filter mask", "001" + nul + "0800001000", false, false},
        {"one byte after masks, no colon", "001" + nul + "04100000000", false, false},
        {"bad digit in width", "001" + nul + "0G10000000" + "0D:x" + nul, false, false},
        {"bad digit in mask", "001" + nul + "041X000000" + "0D:x" + nul, false, false},
        {"width 2", "001" + nul + "0210000D:x" + nul, true, true},
        {"width 0", "001" + nul + "000D:x" + nul, true, true},
        {"width FF runs past a short mask", "001" + nul + "FF10000000", false, false},
        {"mask beyond 16 bits", "001" + nul + "0610000000000D:x" + nul, false, false},
        {"mask with bit 15", ReplyData({{"10", "x"}}, "001", "04", "8000", "8000"), true, true},
        {"mask 16 digits with leading zeros",
         ReplyData({{"0D", "x"}}, "001", "10", "0000000000001000", "0000000000000000"), true, true},
        {"missing colon", "001" + nul + "04FFFF0000" + "0Dx" + nul, false, false},
        {"missing NUL at end", "001" + nul + "04FFFF0000" + "0D:x", false, false},
        {"field 0", ReplyData({{"00", "x"}}), false, false},
        {"empty field number", ReplyData({{"", "x"}}), false, false},
        {"three digits 011", ReplyData({{"011", "x"}}), true, false},
        {"field 16 change ok", ReplyData({{"10", "x"}}), true, true},
        {"field 17", ReplyData({{"11", "0000000100000002"}}), true, false},
        {"field 7FFF", ReplyData({{"7FFF", "x"}}), true, false},
        {"field 8000 does not fit", ReplyData({{"8000", "x"}}), false, false},
        {"field with many digits", ReplyData({{std::string(40, 'F'), "x"}}), false, false},
        {"field with many zeros", ReplyData({{std::string(40, '0') + "D", "x"}}), true, true},
        {"no items at all", "001" + nul + "04FFFF0000" + "", false, false},
        {"non-hex in field number", ReplyData({{"0Z", "x"}}), false, false},
    };
    for (const Case& c : cases) {
        RawDatagram d;
        d.data = c.data;
        EXPECT_EQ(Kind(Take(d.Bytes())), c.idValid ? "id" : "drop") << c.name;
        d.functionCode = 19;
        d.messageClass = 6;
        EXPECT_EQ(Kind(Take(d.Bytes())), c.changeValid ? "change" : "change-invalid") << c.name;
    }
}

TEST(ReplyIntake, ItemsFillTheirEntries) {
    RawDatagram d;
    d.data = ReplyData({{"01", "Vendor"},
                        {"0a", "TRUE"},
                        {"0D", "first"},
                        {"0D", "second"},
                        {"10", "info"},
                        {"11", "0000040000001000"},
                        {"12", "01"},
                        {"13", "raw"},
                        {"011", "0000000000000002"}});
    const auto reply = std::get<IdentificationReply>(Take(d.Bytes()));
    EXPECT_EQ(reply.versionText, "001");
    EXPECT_EQ(reply.fields[0].fieldNumber, 1);
    EXPECT_EQ(reply.fields[0].value, "Vendor");
    EXPECT_EQ(reply.fields[9].fieldNumber, 10);
    EXPECT_EQ(reply.fields[9].value, "TRUE");
    EXPECT_EQ(reply.fields[12].value, "second");
    EXPECT_EQ(reply.fields[15].value, "info");
    EXPECT_EQ(reply.fields[16].fieldNumber, 16);
    EXPECT_EQ(reply.fields[16].value, "Free Disk=1024/4096,Backups=Available,raw,Free Disk=0/2,");
    EXPECT_EQ(reply.backupStatus, 1);
    for (int unused : {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 13})
        EXPECT_EQ(reply.fields[static_cast<std::size_t>(unused)].fieldNumber, 0) << unused;
}

TEST(ReplyIntake, ValuesKeepEveryByteButNul) {
    const std::string value = "\x01\xff\xe9 \x7f:";
    RawDatagram d;
    d.data = ReplyData({{"0C", value}});
    EXPECT_EQ(std::get<IdentificationReply>(Take(d.Bytes())).fields[11].value, value);
}

TEST(ReplyIntake, EveryPrefixOfAReplyIsHandledWithoutReadingPastIt) {
    RawDatagram d;
    d.data = ReplyData({{"0D", "00:11:22:33:44:55"}, {"0C", "host"}});
    const std::string bytes = d.Bytes();
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        // A copy of exactly n bytes, so the sanitizers see any read past it.
        const std::string prefix = bytes.substr(0, n);
        const auto outcome = Take(prefix);
        EXPECT_TRUE(std::holds_alternative<Dropped>(outcome)) << n;
    }
}

} // namespace
} // namespace tarnwick
