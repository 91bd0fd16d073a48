#include "protocol/reply_intake.h"
#include "tests/support/raw_datagram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace tarnwick {
namespace {

using test::RawDatagram;

const std::vector<std::string> kLocal = {"192.168.7.5", "10.1.1.1"};
constexpr char kUnit[] = "192.168.7.20";

IntakeOutcome Take(const std::string& bytes, const char* sender = kUnit) {
    return DecodeDatagram(bytes, sender, kLocal);
}

// A data part: the version and its NUL, the digit width and both masks, then the items; each
// "|" stands for a NUL byte.
std::string Data(const std::string& items, const std::string& widthAndMasks = "04FFFF0000",
                 const std::string& version = "001") {
    std::string data = version + "|" + widthAndMasks + items;
    std::ranges::replace(data, '|', '\0');
    return data;
}

// A reply from a unit: the header as given (length -1: from the data), by default the minimal
// identification reply that carries only the MAC address.
std::string Reply(int function = 16, int messageClass = 5, int bits = 1, int length = -1,
                  const std::string& data = Data("0D:00:11:22:33:44:55|")) {
    RawDatagram d;
    d.commandBits = static_cast<std::uint8_t>(bits);
    d.functionCode = static_cast<std::uint8_t>(function);
    d.messageClass = static_cast<std::uint8_t>(messageClass);
    if (length >= 0)
        d.messageLength = static_cast<std::uint16_t>(length);
    d.data = data;
    return d.Bytes();
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
    // For message classes 0 to 7 and 255: drop, identification reply, change reply, or the box
    // for an unknown Class or an unknown Function code.
    const int classes[] = {0, 1, 2, 3, 4, 5, 6, 7, 255};
    const int functions[] = {1, 4, 7, 16, 17, 18, 19, 0, 8, 15, 20, 255};
    const char* const kinds[] = {"ddddddddd", "ddddddddd", "ddddddddd", "CddddidCC",
                                 "CddddddCC", "CddddddCC", "CdddddcCC", "FFFFFFFFF",
                                 "FFFFFFFFF", "FFFFFFFFF", "FFFFFFFFF", "FFFFFFFFF"};
    for (std::size_t f = 0; f < std::size(functions); ++f) {
        for (std::size_t c = 0; c < std::size(classes); ++c) {
            const char kind = kinds[f][c];
            const std::string expected =
                kind == 'd'   ? "drop"
                : kind == 'i' ? "id"
                : kind == 'c' ? "change"
                : kind == 'C' ? "box Unknown Message Class [" + std::to_string(classes[c]) + "]"
                              : "box Unknown Function Code [" + std::to_string(functions[f]) + "]";
            EXPECT_EQ(Kind(Take(Reply(functions[f], classes[c]))), expected)
                << functions[f] << " " << classes[c];
        }
    }
}

TEST(ReplyIntake, HeaderChecksInTheirOrder) {
    // The console's own requests, any bits with 0x40 and the other kinds 2, 4 and 8 are dropped.
    for (const int bits : {0x41, 0xC3, 2, 4, 8})
        EXPECT_EQ(Kind(Take(Reply(16, 5, bits))), "drop") << bits;
    for (const int bits : {3, 0, 0x81})
        EXPECT_EQ(Kind(Take(Reply(16, 5, bits))),
                  "box Unknown Command Bits [" + std::to_string(bits) + "]");
    const std::string noVersion = "box Incorrect version number. []";
    using Case = std::tuple<const char*, std::string, std::string>;
    for (const auto& [name, bytes, expected] :
         {Case{"other magic is processed", "XXXXXXXX" + Reply().substr(8), "id"},
          Case{"18 bytes, bad command bits, still too short", Reply(16, 5, 3).substr(0, 18),
               "drop"},
          Case{"message length 4", Reply(16, 5, 1, 4), "drop"},
          Case{"message length 5", Reply(16, 5, 1, 5), noVersion},
          Case{"message length 12 beats the function code", Reply(20, 5, 1, 12), noVersion},
          Case{"message length 13, function 5", Reply(5, 5, 1, 13), "drop"},
          Case{"message length 13, function 20", Reply(20, 5, 1, 13),
               "box Unknown Function Code [20]"},
          Case{"message length 13 reads an empty version", Reply(16, 5, 1, 13),
               "box Version Number - Error [Unknown version number <> from 192.168.7.20]"},
          Case{"message length past the datagram",
               Reply(16, 5, 1, static_cast<int>(Reply().size()) - 18), "drop"},
          Case{"message length with the high bit", Reply(16, 5, 1, 0x8005), "drop"},
          // The version is read below MessageLength + 11: a short data part cuts it.
          Case{"data part ends after the width", Reply(16, 5, 1, -1, Data("", "04")), noVersion},
          Case{"version cut by the window", Reply(16, 5, 1, -1, Data("", "041000")),
               "box Version Number - Error [Unknown version number <00> from 192.168.7.20]"}})
        EXPECT_EQ(Kind(Take(bytes)), expected) << name;
    EXPECT_EQ(Kind(Take(Reply(), "10.1.1.1")), "drop") << "our own broadcast";
}

TEST(ReplyIntake, UnknownVersionsAreReportedWithPlainTexts) {
    const std::string data = Data("0D:m|", "04FFFF0000", "002");
    EXPECT_EQ(std::get<MessageReport>(Take(Reply(16, 5, 1, -1, data))),
              (MessageReport{MessageIcon::Information, "Version Number - Error",
                             "Unknown version number <002> from 192.168.7.20"}));
    EXPECT_EQ(std::get<MessageReport>(Take(Reply(19, 6, 1, -1, data))),
              (MessageReport{MessageIcon::Information, "Unknown Version Number", "002"}));
}

// The data part grammar: each case is a data part and whether an identification reply and a
// change reply carrying it are valid.
TEST(ReplyIntake, DataPartGrammar) {
    using Case = std::tuple<const char*, std::string, bool, bool>;
    for (const auto& [name, data, idValid, changeValid] :
         {Case{"minimal", Data("0D:00:11|"), true, true},
          Case{"empty MAC value", Data("0D:|"), true, true},
          Case{"lowercase field and masks", Data("0d:x|", "04ffffabcd"), true, true},
          Case{"ends right after change mask", Data("", "0410000000"), false, false},
          Case{"ends after filter mask", Data("", "0800001000"), false, false},
          Case{"one byte after masks, no colon", Data("0", "0410000000"), false, false},
          Case{"bad digit in width", Data("0D:x|", "0G10000000"), false, false},
          Case{"bad digit in mask", Data("0D:x|", "041X000000"), false, false},
          Case{"width 2", Data("0D:x|", "021000"), true, true},
          Case{"width 0", Data("0D:x|", "00"), true, true},
          Case{"width FF runs past a short mask", Data("", "FF10000000"), false, false},
          Case{"mask beyond 16 bits", Data("0D:x|", "06100000000000"), false, false},
          Case{"mask with bit 15", Data("10:x|", "0480008000"), true, true},
          Case{"mask 16 digits with leading zeros",
               Data("0D:x|", "1000000000000010000000000000000000"), true, true},
          Case{"missing colon", Data("0Dx|"), false, false},
          Case{"missing NUL at end", Data("0D:x"), false, false},
          Case{"field 0", Data("00:x|"), false, false},
          Case{"empty field number", Data(":x|"), false, false},
          Case{"three digits 011", Data("011:x|"), true, false},
          Case{"field 16 change ok", Data("10:x|"), true, true},
          Case{"field 17", Data("11:0000000100000002|"), true, false},
          Case{"field 7FFF", Data("7FFF:x|"), true, false},
          Case{"field 8000 does not fit", Data("8000:x|"), false, false},
          Case{"field with many digits", Data(std::string(40, 'F') + ":x|"), false, false},
          Case{"field with many zeros", Data(std::string(40, '0') + "D:x|"), true, true},
          Case{"no items at all", Data(""), false, false},
          Case{"non-hex in field number", Data("0Z:x|"), false, false}}) {
        EXPECT_EQ(Kind(Take(Reply(16, 5, 1, -1, data))), idValid ? "id" : "drop") << name;
        EXPECT_EQ(Kind(Take(Reply(19, 6, 1, -1, data))), changeValid ? "change" : "change-invalid")
            << name;
    }
}

// Entries in order as "<field number>:<value>"; a repeated field overwrites, fields 17 and up
// go to entry 16, values keep every byte but NUL, bytes past the header's length are not read.
TEST(ReplyIntake, ItemsFillTheirEntries) {
    const auto reply = std::get<IdentificationReply>(
        Take(Reply(16, 5, 1, -1,
                   Data("01:Vendor|0a:TRUE|0C:\x01\xff\xe9 \x7f:|0D:first|0D:second|10:info|"
                        "11:0000040000001000|12:01|13:raw|011:0000000000000002|")) +
             "garbage\x01"));
    std::string entries = reply.versionText;
    for (const ReplyField& entry : reply.fields)
        entries += "|" + std::to_string(entry.fieldNumber) + ":" + entry.value;
    EXPECT_EQ(entries, "001|1:Vendor|0:|0:|0:|0:|0:|0:|0:|0:|10:TRUE|0:|12:\x01\xff\xe9 \x7f:|"
                       "13:second|0:|0:|16:info|"
                       "16:Free Disk=1024/4096,Backups=Available,raw,Free Disk=0/2,");
    EXPECT_EQ(reply.backupStatus, 1);
    // The header's length ends inside the last value: its NUL past the end does not count.
    const std::string cut = Data("0D:00:11|");
    EXPECT_EQ(Kind(Take(Reply(16, 5, 1, static_cast<int>(cut.size()) + 4, cut))), "drop");
}

// A stream decoded over one outcome: each datagram gives what it gives alone, nothing of the
// reply before it (entries, extras, backup status, version) is left behind.
TEST(ReplyIntake, DecodingOverTheLastOutcomeLeavesNothingOfIt) {
    const auto describe = [](const IntakeOutcome& outcome) {
        std::string text = Kind(outcome);
        const UnitReplyFields* fields = nullptr;
        if (const auto* id = std::get_if<IdentificationReply>(&outcome)) {
            text +=
                " " + id->versionText + " backup " + std::to_string(id->backupStatus.value_or(-1));
            fields = &id->fields;
        } else if (const auto* change = std::get_if<ChangeReply>(&outcome)) {
            fields = &change->fields;
        }
        for (std::size_t i = 0; fields && i < fields->size(); ++i)
            text += "|" + std::to_string((*fields)[i].fieldNumber) + ":" + (*fields)[i].value;
        return text;
    };
    const std::string full = Data("01:Vendor|0A:TRUE|0D:00:11|11:0000040000001000|12:01|");
    IntakeOutcome outcome;
    for (const std::string& bytes :
         {Reply(16, 5, 1, -1, full), Reply(16, 5, 1, -1, Data("0C:h|")),
          Reply(19, 6, 1, -1, Data("0D:00:11|0C:cam|")),
          Reply(19, 6, 1, -1, Data("0D:x|", "0G10000000")), Reply(16, 5, 1, -1, full), Reply(20, 5),
          Reply(16, 5, 1, -1, Data("0D:x|0Z:y|")), Reply(16, 5, 1, -1, Data("0D:00:22|"))}) {
        DecodeDatagramInto(outcome, bytes, kUnit, kLocal);
        EXPECT_EQ(describe(outcome), describe(Take(bytes)));
    }
}

TEST(ReplyIntake, EveryPrefixOfAReplyIsHandledWithoutReadingPastIt) {
    const std::string bytes = Reply(16, 5, 1, -1, Data("0D:00:11:22|0C:host|"));
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        // A copy of exactly n bytes, so the sanitizers see any read past it.
        const std::string prefix = bytes.substr(0, n);
        EXPECT_TRUE(std::holds_alternative<Dropped>(Take(prefix))) << n;
    }
}

} // namespace
} // namespace tarnwick
