#include "console/address_checks.h"

#include "console/ipv4_address.h"
#include "console/latin1_text.h"

#include <map>
#include <optional>

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

void DuplicateSavedIps(const std::vector<UnitAddresses>& units, std::vector<std::string>& out) {
    std::map<std::uint32_t, std::vector<const UnitAddresses*>> byIp;
    for (const UnitAddresses& unit : units)
        if (const auto saved = SavedOf(unit))
            byIp[saved->ip].push_back(&unit);
    for (const auto& [ip, sharing] : byIp) {
        bool pending = false;
        std::string names;
        for (std::size_t i = 0; i < sharing.size(); ++i) {
            pending = pending || sharing[i]->pending;
            names += (i == 0 ? "" : i + 1 == sharing.size() ? " and " : ", ") + Mac(*sharing[i]);
        }
        if (sharing.size() > 1 && pending)
            out.push_back(names + " would get the same saved IP " + FormatIpv4(ip) + ".");
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

void UnitSubnet(const UnitAddresses& unit, std::vector<std::string>& out) {
    if (unit.dhcp || !unit.pending)
        return;
    const auto mask = ParseIpv4(unit.mask);
    if (mask && !PrefixOfMask(*mask)) {
        out.push_back(Mac(unit) + ": the subnet mask " + FormatIpv4(*mask) + " is not contiguous.");
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

std::vector<std::string> AddressProblems(const std::vector<UnitAddresses>& units) {
    std::vector<std::string> problems;
    DuplicateSavedIps(units, problems);
    SavedIpsInUse(units, problems);
    for (const UnitAddresses& unit : units)
        UnitSubnet(unit, problems);
    return problems;
}

} // namespace tarnwick
