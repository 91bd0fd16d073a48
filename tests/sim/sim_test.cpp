#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "protocol/reply_intake.h"
#include "sim/unit_responder.h"

#include <gtest/gtest.h>

namespace kvqsim {
namespace {

using namespace tarnwick;

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
