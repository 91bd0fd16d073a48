#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "protocol/reply_intake.h"
#include "sim/unit_responder.h"

#include <gtest/gtest.h>

namespace kvqsim {
namespace {

using namespace tarnwick;

// A select (17), unselect (18) or change (19) request naming units by one field, then the
// change items as written.
std::string Request(std::uint8_t function, int field, const std::string& value,
                    std::uint16_t changed = 0, const std::string& changes = "") {
    std::string data = BeginDataPart("001", FieldBit(field), changed);
    AppendFieldItem(data, field, value);
    return *BuildRequest(function,
                         function == FunctionCodeChangeSettings ? MessageClassChangeRequest
                                                                : MessageClassSelectRequest,
                         data + changes);
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

TEST_F(Responder, IdentificationRequestGetsOneValidReplyPerUnit) {
    EXPECT_EQ(Handle(IdentificationRequest()), "request -> 0 1 2 3");
    for (const auto& out : last.replies) {
        const auto reply = std::get<IdentificationReply>(TakeDatagram(out.bytes, "10.0.0.1", {}));
        for (std::size_t f = 1; f <= 16; ++f)
            EXPECT_EQ(reply.fields[f - 1].value,
                      units[static_cast<std::size_t>(out.unit)].field[f]);
        const std::string& extras = reply.fields[16].value;
        EXPECT_TRUE(extras.starts_with("Free Disk=") && extras.find(",Backups=") != extras.npos);
    }
}

// Select and unselect name units through the list's column map: field 5 carries the "Unit ID"
// column (field 15). They, bad requests and replies do not count among the identification
// requests, of which every second one is answered last unit first when asked.
TEST_F(Responder, SelectNamesUnitsThroughTheColumnMapAndEverySecondIdentificationIsReversed) {
    responder =
        UnitResponder(units, {.silentUnits = {}, .malformed = {}, .reverseEveryOther = true});
    EXPECT_EQ(Handle(IdentificationRequest()), "request -> 0 1 2 3");
    EXPECT_EQ(Handle(IdentificationRequest() + "x"), "bad-request ->");
    // Replies (its own broadcasts among them) are not requests: silently ignored.
    EXPECT_EQ(Handle(responder.IdentificationReply(0)), "->");
    EXPECT_EQ(Handle(Request(FunctionCodeSelectUnit, FieldNumberSerialNumber,
                             units[1].field[FieldNumberUnitID])),
              "request selected ->");
    EXPECT_EQ(Handle(Request(FunctionCodeSelectUnit, FieldNumberSerialNumber,
                             units[2].field[FieldNumberSerialNumber])),
              "request ->")
        << "not the serial number";
    // Unselecting unit 1 by its MAC address shows that unit 1 was the one selected.
    EXPECT_EQ(Handle(Request(FunctionCodeUnselectUnit, FieldNumberMACAddress,
                             units[1].field[FieldNumberMACAddress])),
              "request unselected ->");
    EXPECT_EQ(Handle(IdentificationRequest()), "request -> 3 2 1 0");
    EXPECT_EQ(last.replies[0].bytes, responder.IdentificationReply(3));
    // An empty filter names no unit.
    EXPECT_EQ(Handle(*BuildRequest(FunctionCodeSelectUnit, MessageClassSelectRequest,
                                   BeginDataPart("001", 0, 0))),
              "request ->");
    EXPECT_EQ(Handle(IdentificationRequest()), "request -> 0 1 2 3");
    EXPECT_EQ(Handle(IdentificationRequest()), "request -> 3 2 1 0");
}

TEST_F(Responder, ChangeRequestChangesTheNamedUnitAndReplies) {
    const std::string request = Request(
        FunctionCodeChangeSettings, FieldNumberMACAddress, units[3].field[FieldNumberMACAddress],
        FieldBit(FieldNumberSavedIPAddress) | FieldBit(FieldNumberHostName),
        std::string("07:10.1.2.3") + '\0' + "0C:renamed" + '\0');
    ASSERT_EQ(Handle(request), "request changed -> 3");
    const auto reply = std::get<ChangeReply>(TakeDatagram(last.replies[0].bytes, "u", {}));
    EXPECT_EQ(reply.fields[6].value + " " + reply.fields[11].value, "10.1.2.3 renamed");
    // Valid, and with fields 1 to 16 only.
    EXPECT_TRUE(reply.valid && reply.fields[16].fieldNumber == 0);
    responder = UnitResponder(units, {.silentUnits = {1, 3}, .malformed = {}});
    EXPECT_EQ(Handle(request), "request changed ->") << "a silent unit";
}

} // namespace
} // namespace kvqsim
