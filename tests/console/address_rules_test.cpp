// The address rules of a site plan: the check before Apply, the sequence, and reachability.
#include "console/network/reachability.h"
#include "console/planning/address_checks.h"
#include "console/planning/address_sequence.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using Lines = std::vector<std::string>;

UnitAddresses Unit(const char* mac, const char* current, const char* saved,
                   const char* mask = "255.255.255.0", const char* gateway = "", bool dhcp = false,
                   bool pending = true, const char* dns = "") {
    return {mac, current, saved, mask, gateway, dns, dhcp, pending};
}

// This computer, on the units' network.
const Lines Host = {"10.1.0.250", "127.0.0.1"};

TEST(AddressProblems, EachRuleNamesItsUnitsAndValues) {
    const UnitAddresses other =
        Unit("b", "10.1.0.9", "10.1.0.9", "255.255.255.0", "", false, false);
    for (const auto& [units, expected] :
         std::initializer_list<std::pair<std::vector<UnitAddresses>, Lines>>{
             {{Unit("a", "10.1.0.5", "10.1.0.5", "255.255.255.0", "10.1.0.1"), other}, {}},
             {{Unit("a", "", "10.1.0.9"), other},
              {"a and b would get the same saved IP 10.1.0.9.",
               "a would get the saved IP 10.1.0.9, which b uses now and keeps."}},
             {{Unit("a", "", "10.1.0.05"), Unit("b", "", "10.1.0.5"), Unit("c", "", "10.1.0.5")},
              {"a, b and c would get the same saved IP 10.1.0.5."}},
             // Neither unit changes, or one of them is on DHCP: Apply makes no conflict.
             {{Unit("a", "", "10.1.0.5", "", "", false, false),
               Unit("b", "", "10.1.0.5", "", "", false, false)},
              {}},
             {{Unit("a", "", "10.1.0.5", "", "", true), Unit("b", "", "10.1.0.5")}, {}},
             {{Unit("a", "", "10.1.0.8"), Unit("b", "10.1.0.8", "10.1.0.20")}, {}},
             {{Unit("a", "", "10.1.0.8"), Unit("b", "10.1.0.8", "", "", "", true, false)},
              {"a would get the saved IP 10.1.0.8, which b uses now and keeps."}},
             {{Unit("a", "", "10.1.0.5", "255.255.255.0", "10.1.1.1")},
              {"a: the gateway 10.1.1.1 lies outside 10.1.0.0/24."}},
             {{Unit("a", "", "10.1.0.5", "255.255.255.0", "0.0.0.0")}, {}},
             {{Unit("a", "", "10.1.0.5", "255.0.255.0", "10.9.9.9")},
              {"a: the subnet mask 255.0.255.0 is not contiguous."}},
             {{Unit("a", "", "10.1.0.0", "255.255.0.0"),
               Unit("b", "", "10.1.255.255", "255.255.0.0"),
               Unit("c", "", "10.1.0.77", "255.255.255.255")},
              {"a: the saved IP 10.1.0.0 is the network address of 10.1.0.0/16.",
               "b: the saved IP 10.1.255.255 is the broadcast address of 10.1.0.0/16.",
               "c: the subnet mask 255.255.255.255 leaves the unit no subnet to work in."}},
             // Addresses that other devices answer to.
             {{Unit("a", "", "10.1.0.250")},
              {"a would get the saved IP 10.1.0.250, which is this computer's address."}},
             {{Unit("a", "", "10.1.0.1", "255.255.255.0", "10.1.0.1", false, true, "10.1.0.1")},
              {"a would get the saved IP 10.1.0.1, which is its own gateway.",
               "a would get the saved IP 10.1.0.1, which is its own DNS server."}},
             {{Unit("a", "", "10.1.0.1"), other,
               Unit("c", "10.1.0.3", "10.1.0.3", "255.255.255.0", "10.1.0.1", false, false)},
              {"a would get the saved IP 10.1.0.1, which is the gateway of c."}},
             {{Unit("a", "", "10.1.0.1", "", "", false, false),
               Unit("c", "", "", "", "10.1.0.1", true, false)},
              {}},
             // Masks and ranges no unit can work with, and what Apply would leave empty.
             {{Unit("a", "", "10.1.0.5", "0.0.0.0")},
              {"a: the subnet mask 0.0.0.0 leaves the unit no subnet to work in."}},
             {{Unit("a", "", "127.0.0.5", "255.0.0.0"), Unit("b", "", "224.0.0.9", "255.0.0.0"),
               Unit("c", "", "0.1.2.3", "255.0.0.0"), Unit("d", "", "250.1.1.1", "255.0.0.0")},
              {"a: the saved IP 127.0.0.5 lies in 127.0.0.0/8 (loopback), which no unit can use.",
               "b: the saved IP 224.0.0.9 lies in 224.0.0.0/4 (multicast), which no unit can use.",
               "c: the saved IP 0.1.2.3 lies in 0.0.0.0/8 (this network), which no unit can use.",
               "d: the saved IP 250.1.1.1 lies in 240.0.0.0/4 (reserved), which no unit can use."}},
             {{Unit("a", "10.1.0.5", "", ""), Unit("b", "10.1.0.6", "", "", "", true)},
              {"a is not on DHCP, and Apply would leave it without a saved IP.",
               "a is not on DHCP, and Apply would leave it without a subnet mask."}}}) {
        EXPECT_EQ(AddressProblems(units, Host), expected) << ::testing::PrintToString(expected);
    }
}

std::string Sequence(const std::vector<ListedAddresses>& units, const AddressAssignment& a) {
    const AddressSequence sequence = SequenceAddresses(units, a, Host);
    std::string text;
    for (const AssignedAddress& unit : sequence.units)
        text += std::to_string(unit.row) + ":" + unit.savedIp + " ";
    return text + sequence.problem;
}

TEST(SequenceAddresses, SkipsWhatOthersUseAndTheSubnetsEndsAndStopsWhenItRunsOut) {
    const std::vector<ListedAddresses> site = {{"m1", "192.168.1.10", "192.168.1.11", "", ""},
                                               {"m2", "192.168.1.13", "", "", ""},
                                               {"m3", "", "", "", ""}};
    const std::vector<ListedAddresses> blank(3, ListedAddresses{"m", "", "", "", ""});
    // The units' own gateway and DNS server, and this computer, are no one's to take.
    const std::vector<ListedAddresses> served = {{"m1", "", "", "10.1.0.1", "10.1.0.2"},
                                                 {"m2", "", "", "10.1.0.3", ""}};
    for (const auto& [units, assignment, expected] : std::initializer_list<
             std::tuple<std::vector<ListedAddresses>, AddressAssignment, std::string>>{
             {site, {"192.168.1.10", "255.255.255.0", "", "", 2}, "2:192.168.1.12 3:192.168.1.14 "},
             {site,
              {"192.168.1.10", "255.255.255.0", "192.168.1.12", "", 2},
              "2:192.168.1.13 3:192.168.1.14 "},
             {site,
              {"192.168.1.9", "255.255.255.0", "", "192.168.1.9", 1},
              "1:192.168.1.10 2:192.168.1.12 3:192.168.1.14 "},
             {{blank[0], blank[1]},
              {"10.0.0.0", "255.255.255.252", "", "", 1},
              "1:10.0.0.1 2:10.0.0.2 "},
             {blank,
              {"10.0.0.0", "255.255.255.252", "", "", 1},
              "1:10.0.0.1 2:10.0.0.2 10.0.0.0/30 has no free address left for m."},
             {site,
              {"192.168.1.254", "255.255.255.0", "", "", 1},
              "1:192.168.1.254 192.168.1.0/24 has no free address left for m2 and 1 more."},
             {site, {"", "255.255.255.0", "", "", 1}, "Start Address - Incorrect IP Address."},
             {site, {"10.0.0.1", "", "", "", 1}, "Incorrect Subnet mask."},
             {site,
              {"10.0.0.1", "255.0.255.0", "", "", 1},
              "The subnet mask 255.0.255.0 is not contiguous."},
             {site, {"10.0.0.1", "255.0.0.0", "10.0.0", "", 1}, "Gateway - Incorrect IP Address."},
             {site,
              {"10.0.0.1", "255.0.0.0", "", "", 4},
              "There is no unit to give an address to."},
             {served, {"10.1.0.1", "255.255.255.0", "", "", 1}, "1:10.1.0.4 2:10.1.0.5 "},
             {served, {"10.1.0.249", "255.255.255.0", "", "", 1}, "1:10.1.0.249 2:10.1.0.251 "},
             {site,
              {"10.0.0.1", "0.0.0.0", "", "", 1},
              "The subnet mask 0.0.0.0 leaves the units no subnet to work in."},
             {site,
              {"10.0.0.1", "255.255.255.255", "", "", 1},
              "The subnet mask 255.255.255.255 leaves the units no subnet to work in."},
             {site,
              {"255.255.255.255", "255.255.255.0", "", "", 1},
              "Start Address - 255.255.255.255 lies in 240.0.0.0/4 (reserved), which no unit can "
              "use."},
             {site,
              {"224.0.0.1", "255.255.255.0", "", "", 1},
              "Start Address - 224.0.0.1 lies in 224.0.0.0/4 (multicast), which no unit can "
              "use."}}) {
        EXPECT_EQ(Sequence(units, assignment), expected);
    }
}

TEST(UnreachableHint, OnlyUnitsOutsideEveryUpSubnetGetOneNamingTheirOwnSubnet) {
    NetworkInterface wired{"eth0",  2, true, true, true, false, {"10.0.0.5", "192.168.1.20"},
                           {16, 24}};
    NetworkInterface down = wired;
    down.up = false;
    down.ipv4Addresses = {"172.16.0.1"};
    const std::vector<Ipv4Subnet> local = UpSubnets({wired, down});
    EXPECT_EQ(local, (std::vector<Ipv4Subnet>{{"10.0.0.5", 16}, {"192.168.1.20", 24}}));
    const std::string tail = ") \u2014 set its address to reach it";
    for (const auto& [ip, mask, expected] :
         std::initializer_list<std::tuple<const char*, const char*, std::string>>{
             {"10.0.200.7", "255.0.0.0", ""},
             {"192.168.1.77", "", ""},
             {"", "255.255.0.0", ""},
             {"10.231.4.5", "255.255.0.0", "Not on this computer's networks (10.231.0.0/16" + tail},
             {"172.16.0.9", "", "Not on this computer's networks (172.16.0.9/32" + tail},
             {"192.168.2.1", "255.0.255.0",
              "Not on this computer's networks (192.168.2.1/32" + tail}})
        EXPECT_EQ(UnreachableHint(ip, mask, local).value_or(""), expected) << ip;
}

} // namespace
} // namespace tarnwick
