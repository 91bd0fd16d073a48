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

// A select (17), unselect (18) or change (19) request naming units by one field, then the
// change items as written.
std::string Request(std::uint8_t function, int field, const std::string& value,
                    std::uint16_t changed = 0, const std::string& changes = "") {
    std::string data = BeginDataPart("001", FieldBit(field), changed);
    AppendFieldItem(data, field, value);
    return *BuildRequest(function, function == 19 ? 1 : 6, data + changes);
}

class Responder : public ::testing::Test {
protected:
    // The kinds of the events logged, then the units that replied.
    std::string Handle(const std::string& request) {
        last = responder.Handle(request, "10.0.0.2", 49152);
        std::string summary;
        for (const std::string& event : last.events) // each starts {"event":"
            summary += event.substr(10, event.find('"', 10) - 10) + " ";
        summary += "->";
        for (const auto& reply : last.replies)
            summary += " " + std::to_string(reply.unit);
        return summary;
    }

    std::vector<SimUnit> units = MakeUnits({}, 4);
    UnitResponder responder{units, {}};
    Response last;
};

TEST_F(Responder, IdentificationRequestGetsOneValidReplyPerUnitAndNoMalformedOne) {
    EXPECT_EQ(Handle(IdentificationRequest()), "request -> 0 1 2 3");
    for (const auto& out : last.replies) {
        const auto reply = std::get<IdentificationReply>(TakeDatagram(out.bytes, "10.0.0.1", {}));
        for (std::size_t f = 1; f <= 16; ++f)
            EXPECT_EQ(reply.fields[f - 1].value,
                      units[static_cast<std::size_t>(out.unit)].field[f]);
        const std::string& extras = reply.fields[16].value;
        EXPECT_TRUE(extras.starts_with("Free Disk=") && extras.find(",Backups=") != extras.npos);
    }
    EXPECT_TRUE(last.events[0].find(R"("from":"10.0.0.2","fromPort":49152,"function":16,)") !=
                std::string::npos);
    EXPECT_EQ(Handle(IdentificationRequest()), "request -> 0 1 2 3") << "in order unless asked";
    for (const auto& kind : MalformedKinds()) { // the console must drop or report each
        const auto taken = TakeDatagram(responder.MalformedDatagram(kind), "10.0.0.1", {});
        const auto* change = std::get_if<ChangeReply>(&taken);
        EXPECT_TRUE(taken.index() < 2 || (change && !change->valid)) << kind; // dropped, a box
    }
}

// Select and unselect name units through the console's column map: field 5 carries its "Unit ID"
// column (field 15). They, bad requests and replies do not count among the identification
// requests, of which every second one is answered last unit first when asked.
TEST_F(Responder, SelectNamesUnitsThroughTheColumnMapAndEverySecondIdentificationIsReversed) {
    responder = UnitResponder(units, {.malformed = {}, .reverseEveryOther = true});
    EXPECT_EQ(Handle(IdentificationRequest()), "request -> 0 1 2 3");
    EXPECT_EQ(Handle(IdentificationRequest() + "x"), "bad-request ->");
    // Replies (its own broadcasts among them) are not requests: silently ignored.
    EXPECT_EQ(Handle(responder.IdentificationReply(0)), "->");
    EXPECT_EQ(Handle(Request(17, 5, units[1].field[15])), "request selected ->");
    EXPECT_EQ(Handle(Request(17, 5, units[2].field[5])), "request ->") << "not the serial number";
    // Unselecting unit 1 by its MAC address shows that unit 1 was the one selected.
    EXPECT_EQ(Handle(Request(18, 13, units[1].field[13])), "request unselected ->");
    EXPECT_EQ(Handle(IdentificationRequest()), "request -> 3 2 1 0");
    EXPECT_EQ(last.replies[0].bytes, responder.IdentificationReply(3));
    // An empty filter names no unit.
    EXPECT_EQ(Handle(*BuildRequest(17, 6, BeginDataPart("001", 0, 0))), "request ->");
    EXPECT_EQ(Handle(IdentificationRequest()), "request -> 0 1 2 3");
    EXPECT_EQ(Handle(IdentificationRequest()), "request -> 3 2 1 0");
}

TEST_F(Responder, ChangeRequestChangesTheNamedUnitAndReplies) {
    const std::string request = Request(19, 13, units[3].field[13], FieldBit(7) | FieldBit(12),
                                        std::string("07:10.1.2.3") + '\0' + "0C:renamed" + '\0');
    ASSERT_EQ(Handle(request), "request changed -> 3");
    const auto reply = std::get<ChangeReply>(TakeDatagram(last.replies[0].bytes, "u", {}));
    EXPECT_EQ(reply.fields[6].value + " " + reply.fields[11].value, "10.1.2.3 renamed");
    // Valid, and with fields 1 to 16 only.
    EXPECT_TRUE(reply.valid && reply.fields[16].fieldNumber == 0);
    responder = UnitResponder(units, {.changeReplies = false, .malformed = {}});
    EXPECT_EQ(Handle(request), "request changed ->");
}

TEST(SimUnits, GeneratedAreDeterministicAndUniqueAndFilesFillWhatTheyLeaveOut) {
    const SimUnit unit = MakeUnits({}, 4)[2], reseeded = MakeUnit({.seed = 2}, 2);
    EXPECT_EQ(MakeUnit({}, 2).field, unit.field);
    EXPECT_NE(reseeded.field[3] + reseeded.field[17], unit.field[3] + unit.field[17]);
    std::set<std::string> macs;
    for (const auto& generated : MakeUnits({}, 70000))
        macs.insert(generated.field[13]);
    EXPECT_EQ(macs.size(), 70000u);
    EXPECT_EQ(MakeUnit({}, 3).field[15], "") << "some units have no unit id";
    // A second simulator numbered on from the first lists other units; overlapping, the same.
    const auto from3 = MakeUnits({.firstIndex = 3}, 2);
    EXPECT_EQ(from3[0].field, MakeUnit({}, 3).field);
    EXPECT_EQ(from3[1].field[13], "00:1B:2C:00:00:04");

    std::istringstream in("# two units\n[unit]\n13=AA:BB\n12=lobby\n[unit]\n15=\n");
    std::string error;
    const auto read = ReadUnits(in, {}, error);
    ASSERT_TRUE(read && read->size() == 2) << error;
    const auto& first = (*read)[0].field;
    EXPECT_EQ(first[13] + " " + first[12] + " " + first[1] + " " + (*read)[1].field[15] + ".",
              "AA:BB lobby Lumivar .");
    for (const char* bad : {"13=x\n", "[unit]\n19=x\n", "[unit]\nnonsense\n"}) {
        std::istringstream wrong(bad);
        EXPECT_TRUE(!ReadUnits(wrong, {}, error) && error.find("line") != error.npos) << bad;
    }
}

} // namespace
} // namespace kvqsim
