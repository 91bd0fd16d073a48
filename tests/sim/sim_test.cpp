#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "protocol/reply_intake.h"
#include "sim/unit_responder.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace kvqsim {
namespace {

using namespace tarnwick;

std::string SelectRequest(int function, std::uint16_t filter,
                          std::initializer_list<std::pair<int, std::string>> items) {
    std::string data = BeginDataPart("001", filter, 0);
    for (const auto& [field, value] : items)
        AppendFieldItem(data, field, value);
    return *BuildRequest(static_cast<std::uint8_t>(function), MessageClass6, data);
}

class Responder : public ::testing::Test {
protected:
    std::vector<SimUnit> units = MakeUnits({}, 4);
    UnitResponder responder{units, {}};
};

TEST_F(Responder, IdentificationRequestGetsOneValidReplyPerUnit) {
    const Response response = responder.Handle(IdentificationRequest(), "10.0.0.2", 49152);
    ASSERT_EQ(response.replies.size(), 4u);
    for (int u = 0; u < 4; ++u) {
        const auto outcome =
            TakeDatagram(response.replies[static_cast<std::size_t>(u)].bytes, "10.0.0.1", {});
        const auto& reply = std::get<IdentificationReply>(outcome);
        for (int f = 1; f <= 16; ++f)
            EXPECT_EQ(reply.fields[static_cast<std::size_t>(f - 1)].value,
                      units[static_cast<std::size_t>(u)].field[static_cast<std::size_t>(f)]);
        EXPECT_NE(reply.fields[16].value.find("Free Disk="), std::string::npos);
        EXPECT_NE(reply.fields[16].value.find(",Backups="), std::string::npos);
    }
    ASSERT_EQ(response.events.size(), 1u);
    EXPECT_NE(response.events[0].find("\"function\":16"), std::string::npos);
    EXPECT_NE(response.events[0].find("\"from\":\"10.0.0.2\",\"fromPort\":49152,"),
              std::string::npos)
        << response.events[0];
}

std::vector<int> RepliedUnits(const Response& response) {
    std::vector<int> order;
    for (const auto& reply : response.replies)
        order.push_back(reply.unit);
    return order;
}

TEST_F(Responder, EverySecondIdentificationRequestIsAnsweredLastUnitFirst) {
    ResponderOptions options;
    options.reverseEveryOther = true;
    UnitResponder reversing(units, options);
    const std::vector<int> forward = {0, 1, 2, 3};
    const std::vector<int> backward = {3, 2, 1, 0};
    EXPECT_EQ(RepliedUnits(reversing.Handle(IdentificationRequest(), "c", 10021)), forward);
    // Other requests do not count.
    reversing.Handle(
        SelectRequest(FunctionCodeSelectUnit, FieldBit(13), {{13, units[1].field[13]}}), "c",
        10021);
    const Response second = reversing.Handle(IdentificationRequest(), "c", 10021);
    EXPECT_EQ(RepliedUnits(second), backward);
    EXPECT_EQ(second.replies[0].bytes, reversing.IdentificationReply(3));
    EXPECT_EQ(RepliedUnits(reversing.Handle(IdentificationRequest(), "c", 10021)), forward);
    EXPECT_EQ(RepliedUnits(reversing.Handle(IdentificationRequest(), "c", 10021)), backward);

    responder.Handle(IdentificationRequest(), "c", 10021);
    EXPECT_EQ(RepliedUnits(responder.Handle(IdentificationRequest(), "c", 10021)), forward)
        << "only when asked";
}

TEST_F(Responder, GeneratedUnitsAreDeterministicAndUnique) {
    EXPECT_EQ(MakeUnit({}, 2).field, units[2].field);
    EXPECT_NE(MakeUnit({.seed = 2}, 2).field[3] + MakeUnit({.seed = 2}, 2).field[17],
              units[2].field[3] + units[2].field[17]);
    std::set<std::string> macs;
    for (const auto& unit : MakeUnits({}, 70000))
        macs.insert(unit.field[13]);
    EXPECT_EQ(macs.size(), 70000u);
    EXPECT_EQ(units[3].field[15], "") << "some units have no unit id";
}

TEST_F(Responder, SelectNamesUnitsThroughTheColumnMap) {
    // Field 5 of a select request carries the console's "Unit ID" column (field 15).
    const auto r1 = responder.Handle(
        SelectRequest(FunctionCodeSelectUnit, FieldBit(5), {{5, units[1].field[15]}}), "c", 10021);
    EXPECT_TRUE(responder.Units()[1].selected);
    EXPECT_FALSE(responder.Units()[0].selected);
    ASSERT_EQ(r1.events.size(), 2u);
    EXPECT_NE(r1.events[1].find("\"event\":\"selected\""), std::string::npos);
    EXPECT_TRUE(r1.replies.empty());

    responder.Handle(SelectRequest(FunctionCodeSelectUnit, FieldBit(5), {{5, units[2].field[5]}}),
                     "c", 10021);
    EXPECT_FALSE(responder.Units()[2].selected) << "the serial number is not the unit id";

    responder.Handle(
        SelectRequest(FunctionCodeUnselectUnit, FieldBit(13), {{13, units[1].field[13]}}), "c",
        10021);
    EXPECT_FALSE(responder.Units()[1].selected);

    responder.Handle(SelectRequest(FunctionCodeSelectUnit, 0, {}), "c", 10021);
    for (const auto& unit : responder.Units())
        EXPECT_FALSE(unit.selected) << "an empty filter names no unit";
}

TEST_F(Responder, ChangeRequestChangesTheNamedUnitAndReplies) {
    std::string data = BeginDataPart("001", FieldBit(13), FieldBit(7) | FieldBit(12));
    AppendFieldItem(data, 13, units[3].field[13]);
    AppendFieldItem(data, 7, "10.1.2.3");
    AppendFieldItem(data, 12, "renamed");
    const auto response = responder.Handle(*BuildRequest(19, 1, data), "c", 10021);
    ASSERT_EQ(response.replies.size(), 1u);
    EXPECT_EQ(responder.Units()[3].field[7], "10.1.2.3");
    EXPECT_EQ(responder.Units()[3].field[12], "renamed");
    EXPECT_EQ(responder.Units()[2].field[12], units[2].field[12]);
    const auto reply = std::get<ChangeReply>(TakeDatagram(response.replies[0].bytes, "u", {}));
    EXPECT_TRUE(reply.valid);
    EXPECT_EQ(reply.fields[6].value, "10.1.2.3");
    EXPECT_EQ(reply.fields[16].fieldNumber, 0) << "change replies carry fields 1 to 16 only";

    ResponderOptions quiet;
    quiet.changeReplies = false;
    UnitResponder silent(units, quiet);
    EXPECT_TRUE(silent.Handle(*BuildRequest(19, 1, data), "c", 10021).replies.empty());
}

TEST_F(Responder, BadRequestsAreLoggedNotAnswered) {
    std::string truncated = IdentificationRequest() + "x";
    const auto response = responder.Handle(truncated, "c", 10021);
    EXPECT_TRUE(response.replies.empty());
    ASSERT_EQ(response.events.size(), 1u);
    EXPECT_NE(response.events[0].find("bad-request"), std::string::npos);
    // Replies (its own broadcasts among them) are not requests: silently ignored.
    EXPECT_TRUE(responder.Handle(responder.IdentificationReply(0), "c", 10021).events.empty());
}

// Each malformed kind is one the console must report or drop, never take as a reply.
TEST_F(Responder, MalformedKindsAreReportedOrDroppedByIntake) {
    for (const auto& kind : MalformedKinds()) {
        const auto outcome = TakeDatagram(responder.MalformedDatagram(kind), "10.0.0.1", {});
        const bool refused =
            std::holds_alternative<Dropped>(outcome) ||
            std::holds_alternative<MessageReport>(outcome) ||
            (std::holds_alternative<ChangeReply>(outcome) && !std::get<ChangeReply>(outcome).valid);
        EXPECT_TRUE(refused) << kind;
    }
}

TEST(SimUnits, ReadFromAFile) {
    std::istringstream in("# two units\n[unit]\n13=AA:BB\n12=lobby\n[unit]\n15=\n");
    std::string error;
    const auto units = ReadUnits(in, {}, error);
    ASSERT_TRUE(units) << error;
    ASSERT_EQ(units->size(), 2u);
    EXPECT_EQ((*units)[0].field[13], "AA:BB");
    EXPECT_EQ((*units)[0].field[12], "lobby");
    EXPECT_EQ((*units)[0].field[1], "Lumivar");
    EXPECT_EQ((*units)[1].field[15], "");

    for (const char* bad : {"13=x\n", "[unit]\n19=x\n", "[unit]\nnonsense\n"}) {
        std::istringstream wrong(bad);
        EXPECT_FALSE(ReadUnits(wrong, {}, error)) << bad;
        EXPECT_NE(error.find("line"), std::string::npos);
    }
}

} // namespace
} // namespace kvqsim
