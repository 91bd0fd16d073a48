#include "console/console_session.h"
#include "console/network_interfaces.h"
#include "tests/support/quiet_sink.h"
#include "tests/support/raw_datagram.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

NetworkInterface Interface(const char* name, bool up, bool running, bool broadcast, bool loopback,
                           std::vector<std::string> addresses) {
    static int index = 0;
    return {name, ++index, up, running, broadcast, loopback, std::move(addresses)};
}

TEST(BroadcastInterfaces, OnlyThoseThatCanCarryALimitedBroadcast) {
    const std::vector<NetworkInterface> all = {
        Interface("lo", true, true, false, true, {"127.0.0.1"}),
        Interface("wlan0", true, true, true, false, {"192.168.1.20"}),
        Interface("eth0", true, true, true, false, {"10.0.0.5", "10.0.1.5"}),
        Interface("eth1", true, false, true, false, {"10.9.0.5"}),  // no cable
        Interface("eth2", false, false, true, false, {"10.8.0.5"}), // switched off
        Interface("tun0", true, true, false, false, {"10.7.0.5"}),  // point to point
        Interface("eth3", true, true, true, false, {}),             // no IPv4 address
    };
    std::vector<std::string> names;
    for (const NetworkInterface& i : BroadcastInterfaces(all))
        names.push_back(i.name);
    EXPECT_EQ(names, (std::vector<std::string>{"wlan0", "eth0"}));
    EXPECT_EQ(InterfaceAddresses(all),
              (std::vector<std::string>{"127.0.0.1", "192.168.1.20", "10.0.0.5", "10.0.1.5",
                                        "10.9.0.5", "10.8.0.5", "10.7.0.5"}));
    EXPECT_TRUE(BroadcastInterfaces({}).empty());
}

TEST(BroadcastInterfaces, OwnBroadcastsAreKnownByEveryInterfaceAddress) {
    // A host name that resolves to 127.0.1.1 names none of the addresses broadcasts leave from.
    test::QuietSink sink;
    ConsoleSession session(sink, false);
    session.SetLocalAddresses({"127.0.1.1"});
    session.SetInterfaceAddresses({"10.0.0.5", "127.0.1.1", "192.168.1.20"});
    EXPECT_EQ(session.LocalAddresses(),
              (std::vector<std::string>{"127.0.1.1", "10.0.0.5", "192.168.1.20"}));
    const std::string reply = test::IdentificationReplyBytes({{"0D", "00:11:22:33:44:55"}});
    EXPECT_EQ(session.TakeDatagram(reply, "192.168.1.20"), IntakeResult::Dropped);
    session.SetInterfaceAddresses({"10.0.0.5"}); // the Wi-Fi left
    EXPECT_EQ(session.TakeDatagram(reply, "192.168.1.20"), IntakeResult::IdentificationReply);
}

} // namespace
} // namespace tarnwick
