#include "console/planning/address_checks.h"

#include "console/network/ipv4_address.h"
#include "console/table/latin1_text.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace tarnwick {
namespace {

// What the saved settings would make of one unit; nothing for one on DHCP.
struct SavedSubnet {
    std::uint32_t ip = 0;
    std::optional<int> prefix; // nothing when the mask is missing or not contiguous
};

std::optional<SavedSubnet> SavedOf(const UnitAddresses& unit) {
    const auto ip = ParseIpv4(unit.savedIp);
    if (unit.dhcp || !ip)
        return std::nullopt;
    const auto mask = ParseIpv4(unit.mask);
    return SavedSubnet{*ip, mask ? PrefixOfMask(*mask) : std::nullopt};
}

// A unit keeps its current address unless its saved one moves it elsewhere.
bool KeepsCurrent(const UnitAddresses& unit) {
    const auto saved = ParseIpv4(unit.savedIp);
    return unit.dhcp || !saved || saved == ParseIpv4(unit.currentIp);
}

std::string Mac(const UnitAddresses& unit) {
    return Latin1ToUtf8(unit.mac);
}

// "a, b and c"; a site's worth of units ends in a count.
std::string Macs(const std::vector<const UnitAddresses*>& units) {
    constexpr std::size_t MostNamed = 5;
    const std::size_t named = units.size() > MostNamed ? MostNamed - 1 : units.size();
    std::string names;
    for (std::size_t i = 0; i < named; ++i)
        names += (i == 0 ? "" : i + 1 == units.size() ? " and " : ", ") + Mac(*units[i]);
    if (named < units.size())
        names += " and " + std::to_string(units.size() - named) + " more";
    return names;
}

void DuplicateSavedIps(const std::vector<UnitAddresses>& units, std::vector<std::string>& out) {
    std::map<std::uint32_t, std::vector<const UnitAddresses*>> byIp;
    for (const UnitAddresses& unit : units)
        if (const auto saved = SavedOf(unit))
            byIp[saved->ip].push_back(&unit);
    for (const auto& [ip, sharing] : byIp) {
        const bool pending = std::any_of(sharing.begin(), sharing.end(),
                                         [](const UnitAddresses* u) { return u->pending; });
        if (sharing.size() > 1 && pending)
            out.push_back(Macs(sharing) + " would get the same saved IP " + FormatIpv4(ip) + ".");
    }
}

void SavedIpsInUse(const std::vector<UnitAddresses>& units, std::vector<std::string>& out) {
    std::multimap<std::uint32_t, const UnitAddresses*> kept;
    for (const UnitAddresses& unit : units)
        if (const auto current = ParseIpv4(unit.currentIp); current && KeepsCurrent(unit))
            kept.emplace(*current, &unit);
    for (const UnitAddresses& unit : units) {
        const auto saved = SavedOf(unit);
        if (!saved)
            continue;
        const auto [first, last] = kept.equal_range(saved->ip);
        for (auto it = first; it != last; ++it)
            if (it->second != &unit && (unit.pending || it->second->pending))
                out.push_back(Mac(unit) + " would get the saved IP " + FormatIpv4(saved->ip) +
                              ", which " + Mac(*it->second) + " uses now and keeps.");
    }
}

// A saved IP that another device answers to already: this computer, or a gateway or DNS server
// the units are told to use.
void SavedIpsTaken(const std::vector<UnitAddresses>& units,
                   const std::vector<std::string>& hostAddresses, std::vector<std::string>& out) {
    std::set<std::uint32_t> host;
    for (const std::string& text : hostAddresses)
        if (const auto address = ParseIpv4(text))
            host.insert(*address);
    // 0.0.0.0 stands for no gateway.
    std::multimap<std::uint32_t, const UnitAddresses*> gateways;
    for (const UnitAddresses& unit : units)
        if (const auto gateway = ParseIpv4(unit.gateway); gateway && *gateway != 0)
            gateways.emplace(*gateway, &unit);
    for (const UnitAddresses& unit : units) {
        const auto saved = SavedOf(unit);
        if (!saved)
            continue;
        const std::string head =
            Mac(unit) + " would get the saved IP " + FormatIpv4(saved->ip) + ", which is ";
        if (unit.pending && host.count(saved->ip) != 0)
            out.push_back(head + "this computer's address.");
        if (unit.pending && ParseIpv4(unit.gateway) == saved->ip)
            out.push_back(head + "its own gateway.");
        if (unit.pending && ParseIpv4(unit.dns) == saved->ip)
            out.push_back(head + "its own DNS server.");
        std::vector<const UnitAddresses*> others;
        const auto [first, last] = gateways.equal_range(saved->ip);
        for (auto it = first; it != last; ++it)
            if (it->second != &unit && (unit.pending || it->second->pending))
                others.push_back(it->second);
        if (!others.empty())
            out.push_back(head + "the gateway of " + Macs(others) + ".");
    }
}

void UnitSubnet(const UnitAddresses& unit, std::vector<std::string>& out) {
    if (unit.dhcp || !unit.pending)
        return;
    // Without them a unit that does not ask a server has no address after its restart.
    if (unit.savedIp.empty())
        out.push_back(Mac(unit) + " is not on DHCP, and Apply would leave it without a saved IP.");
    if (unit.mask.empty())
        out.push_back(Mac(unit) +
                      " is not on DHCP, and Apply would leave it without a subnet mask.");
    if (const auto saved = ParseIpv4(unit.savedIp))
        if (const auto special = SpecialRangeOf(*saved))
            out.push_back(Mac(unit) + ": the saved IP " + FormatIpv4(*saved) + " lies in " +
                          special->range + " (" + special->use + "), which no unit can use.");
    const auto mask = ParseIpv4(unit.mask);
    if (mask && !PrefixOfMask(*mask)) {
        out.push_back(Mac(unit) + ": the subnet mask " + FormatIpv4(*mask) + " is not contiguous.");
        return;
    }
    if (mask && !IsUsablePrefix(*PrefixOfMask(*mask))) {
        out.push_back(Mac(unit) + ": the subnet mask " + FormatIpv4(*mask) +
                      " leaves the unit no subnet to work in.");
        return;
    }
    const auto saved = SavedOf(unit);
    if (!saved || !saved->prefix)
        return;
    const int prefix = *saved->prefix;
    const std::string subnet = SubnetText(saved->ip, prefix);
    if (IsNetworkOrBroadcast(saved->ip, prefix))
        out.push_back(Mac(unit) + ": the saved IP " + FormatIpv4(saved->ip) + " is the " +
                      (saved->ip == NetworkOf(saved->ip, prefix) ? "network" : "broadcast") +
                      " address of " + subnet + ".");
    // 0.0.0.0 stands for no gateway.
    const auto gateway = ParseIpv4(unit.gateway);
    if (gateway && *gateway != 0 && NetworkOf(*gateway, prefix) != NetworkOf(saved->ip, prefix))
        out.push_back(Mac(unit) + ": the gateway " + FormatIpv4(*gateway) + " lies outside " +
                      subnet + ".");
}

} // namespace

std::vector<std::string> AddressProblems(const std::vector<UnitAddresses>& units,
                                         const std::vector<std::string>& hostAddresses) {
    std::vector<std::string> problems;
    DuplicateSavedIps(units, problems);
    SavedIpsInUse(units, problems);
    SavedIpsTaken(units, hostAddresses, problems);
    for (const UnitAddresses& unit : units)
        UnitSubnet(unit, problems);
    return problems;
}

} // namespace tarnwick
