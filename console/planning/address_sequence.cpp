#include "console/planning/address_sequence.h"

#include "console/network/ipv4_address.h"
#include "console/table/field_validation.h"
#include "console/table/latin1_text.h"
#include "protocol/constants.h"

#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace tarnwick {
namespace {

std::optional<std::string> AssignmentProblem(const AddressAssignment& assignment,
                                             std::size_t unitCount) {
    // The start address and the mask say where the sequence runs: neither may be left out.
    const auto start = ParseIpv4(assignment.start);
    if (!start)
        return "Start Address - Incorrect IP Address.";
    if (const auto special = SpecialRangeOf(*start))
        return "Start Address - " + FormatIpv4(*start) + " lies in " + special->range + " (" +
               special->use + "), which no unit can use.";
    const auto mask = ParseIpv4(assignment.mask);
    if (!mask)
        return "Incorrect Subnet mask.";
    if (!PrefixOfMask(*mask))
        return "The subnet mask " + FormatIpv4(*mask) + " is not contiguous.";
    if (!IsUsablePrefix(*PrefixOfMask(*mask)))
        return "The subnet mask " + FormatIpv4(*mask) + " leaves the units no subnet to work in.";
    if (auto message = ValidationMessage(FieldNumberDefaultGateway, assignment.gateway, true))
        return message;
    if (auto message = ValidationMessage(FieldNumberDNSServer, assignment.dns, true))
        return message;
    if (assignment.fromRow < 1 || static_cast<std::size_t>(assignment.fromRow) > unitCount)
        return "There is no unit to give an address to.";
    return std::nullopt;
}

} // namespace

AddressSequence SequenceAddresses(const std::vector<ListedAddresses>& units,
                                  const AddressAssignment& assignment,
                                  const std::vector<std::string>& hostAddresses) {
    AddressSequence sequence;
    if (auto problem = AssignmentProblem(assignment, units.size())) {
        sequence.problem = *problem;
        return sequence;
    }
    const std::uint32_t start = *ParseIpv4(assignment.start);
    const int prefix = *PrefixOfMask(*ParseIpv4(assignment.mask));
    // How many listed units use each address, as current or saved IP.
    std::unordered_map<std::uint32_t, int> users;
    for (const ListedAddresses& unit : units)
        for (const std::string* text : {&unit.currentIp, &unit.savedIp})
            if (const auto address = ParseIpv4(*text))
                ++users[*address];
    // Addresses other devices answer to: this computer, and the gateways and DNS servers given
    // or already set.
    std::unordered_set<std::uint32_t> taken;
    for (const std::string& text : hostAddresses)
        if (const auto address = ParseIpv4(text))
            taken.insert(*address);
    for (const std::string* text : {&assignment.gateway, &assignment.dns})
        if (const auto address = ParseIpv4(*text))
            taken.insert(*address);
    for (const ListedAddresses& unit : units)
        for (const std::string* text : {&unit.gateway, &unit.dns})
            if (const auto address = ParseIpv4(*text))
                taken.insert(*address);

    std::uint64_t next = start;
    const std::uint64_t broadcast = BroadcastOf(start, prefix);
    for (auto i = static_cast<std::size_t>(assignment.fromRow - 1); i < units.size(); ++i) {
        const ListedAddresses& unit = units[i];
        const auto current = ParseIpv4(unit.currentIp);
        const auto saved = ParseIpv4(unit.savedIp);
        const auto usedByOthers = [&](std::uint32_t address) {
            const auto it = users.find(address);
            const int own = (current == address ? 1 : 0) + (saved == address ? 1 : 0);
            return it != users.end() && it->second > own;
        };
        while (next <= broadcast) {
            const auto address = static_cast<std::uint32_t>(next);
            if (!IsNetworkOrBroadcast(address, prefix) && !usedByOthers(address) &&
                taken.count(address) == 0 && !SpecialRangeOf(address))
                break;
            ++next;
        }
        if (next > broadcast) {
            const std::size_t left = units.size() - i;
            sequence.problem = SubnetText(start, prefix) + " has no free address left for " +
                               Latin1ToUtf8(unit.mac) +
                               (left > 1 ? " and " + std::to_string(left - 1) + " more" : "") + ".";
            return sequence;
        }
        sequence.units.push_back({static_cast<int>(i + 1), unit.mac, unit.currentIp,
                                  FormatIpv4(static_cast<std::uint32_t>(next++))});
    }
    return sequence;
}

} // namespace tarnwick
