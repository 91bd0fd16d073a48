#include "console/requests/unit_request_builder.h"
#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "protocol/reply_intake.h"
#include "sim/request_decoder.h"
#include "sim/unit_responder.h"
#include "tests/support/raw_datagram.h"

#include <gtest/gtest.h>

namespace kvqsim {
namespace {

using namespace tarnwick;

// Every end-to-end check of a request reads it through the decoder: it has to give back all
// the console put in.
TEST(RequestDecoder, ReadsBackWhatTheConsoleWrites) {
    UnitTable table;
    const int row = table.AppendRow(VersionNumbers001);
    for (int column = 2; column <= ListViewFieldNumberColumnCount; ++column)
        table.SetText(row, column, "cell " + std::to_string(column));
    const auto items = [&](std::uint16_t mask, const ColumnMap& map) {
        decltype(Request::changeItems) out;
        for (int field = 1; field <= FieldNumberLastSetting; ++field)
            if (mask & FieldBit(field))
                out.emplace_back(field, table.CellAt(row, map[std::size_t(field) - 1]).text);
        return out;
    };
    const std::uint16_t mac = FieldBit(FieldNumberMACAddress),
                        two = mac | FieldBit(FieldNumberSavedIPAddress),
                        edits = FieldBit(FieldNumberSubnetMask) | FieldBit(FieldNumberHostName);
    const struct {
        std::uint8_t function, messageClass;
        std::uint16_t filter, change;
        const ColumnMap& map;
    } sent[] = {
        {FunctionCodeIdentification, MessageClassIdentificationRequest, 0, 0, ChangeColumnMap()},
        {FunctionCodeSelectUnit, MessageClassSelectRequest, two, 0, SelectColumnMap()},
        {FunctionCodeUnselectUnit, MessageClassSelectRequest, mac, 0, SelectColumnMap()},
        {FunctionCodeChangeSettings, MessageClassChangeRequest, two, edits, ChangeColumnMap()},
    };
    for (const auto& s : sent) {
        const bool identify = s.function == FunctionCodeIdentification;
        const std::string bytes =
            identify ? IdentificationRequest()
                     : *BuildUnitRequest(s.function, s.messageClass, VersionNumbers001, s.filter,
                                         s.change, table, row, s.map);
        std::string error;
        const auto request = DecodeRequest(bytes, error);
        ASSERT_TRUE(request) << error;
        EXPECT_EQ(request->functionCode, s.function);
        EXPECT_EQ(request->messageClass, s.messageClass);
        EXPECT_EQ(request->version, identify ? "" : VersionNumbers001);
        EXPECT_EQ(request->filterMask, s.filter);
        EXPECT_EQ(request->changeMask, s.change);
        EXPECT_EQ(request->identificationItems, items(s.filter, s.map));
        EXPECT_EQ(request->changeItems, items(s.change, ChangeColumnMap()));
    }
}

// Each malformed request is refused by its own check, named in the reason; what is no request
// at all is passed over without one.
TEST(RequestDecoder, RefusesEachMalformedRequest) {
    const auto request = [](std::string data, std::optional<std::uint16_t> length = {}) {
        return test::RawDatagram{
            .commandBits = CommandBitsRequest, .messageLength = length, .data = std::move(data)}
            .Bytes();
    };
    const std::string nul(1, '\0'), head = "001" + nul + "04", masks = "10000000";
    const std::string valid = head + masks + "0D:kvq" + nul;
    const struct {
        std::string bytes;
        const char* reason; // nullptr: not a request
    } rows[] = {
        {IdentificationRequest().substr(0, FieldLengthHeader - 1), nullptr},
        {test::RawDatagram{}.Bytes(), nullptr}, // a reply's command bits
        {request(valid, std::uint16_t(valid.size() + 6)), "MessageLength"},
        {request("001"), "masks"},
        {request("001" + nul + "0"), "masks"},
        {request("001" + nul + "05" + "10000" + "00000"), "masks"}, // past 16 bits
        {request(head + "000000"), "masks"},
        {request(head + masks + "0Dkvq" + nul), "item 1"},
        {request(head + masks + "0Z:kvq" + nul), "item 1"},
        {request(head + masks + "0D:kvq"), "item 1"},
        {request(head + "0000" + "1000"), "item 1"}, // the change item
        {request(valid + "x"), "left"},
    };
    for (const auto& [bytes, reason] : rows) {
        std::string error = "stale";
        EXPECT_FALSE(DecodeRequest(bytes, error)) << testing::PrintToString(bytes);
        EXPECT_TRUE(reason ? error.find(reason) != error.npos : error.empty())
            << testing::PrintToString(bytes) << ": " << error;
    }
}

TEST(Responder, AnIdentificationRequestGetsOneValidReplyPerUnit) {
    const std::vector<SimUnit> units = MakeUnits({}, 4);
    UnitResponder responder(units, {});
    const Response response = responder.Handle(IdentificationRequest(), "10.0.0.2", 49152);
    ASSERT_EQ(response.replies.size(), units.size());
    for (const auto& out : response.replies) {
        const auto reply = std::get<IdentificationReply>(DecodeDatagram(out.bytes, "10.0.0.1", {}));
        for (std::size_t f = 1; f <= 16; ++f)
            EXPECT_EQ(reply.fields[f - 1].value,
                      units[static_cast<std::size_t>(out.unit)].field[f]);
        const std::string& extras = reply.fields[16].value;
        EXPECT_TRUE(extras.starts_with("Free Disk=") && extras.find(",Backups=") != extras.npos);
    }
}

} // namespace
} // namespace kvqsim
