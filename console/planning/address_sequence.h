// Saved IP addresses in sequence for a run of listed units.
#pragma once

#include <string>
#include <vector>

namespace tarnwick {

struct AddressAssignment {
    std::string start;
    std::string mask;
    std::string gateway; // empty: each unit keeps its own
    std::string dns;     // empty: each unit keeps its own
    int fromRow = 1;     // the units from this row to the end of the list; 1 for all
};

// A listed unit's addresses (Latin-1 cells), in list order.
struct ListedAddresses {
    std::string mac;
    std::string currentIp;
    std::string savedIp;
    std::string gateway;
    std::string dns;
};

struct AssignedAddress {
    int row = 0;
    std::string mac;
    std::string currentIp;
    std::string savedIp; // the new one
    bool operator==(const AssignedAddress&) const = default;
};

struct AddressSequence {
    std::vector<AssignedAddress> units;
    std::string problem; // UTF-8; when set, nothing may be assigned
};

// Each unit from `fromRow` on gets the next address of the start address's subnet that no
// other listed unit uses as its current or saved IP, that is neither the subnet's network nor
// its broadcast address, nor the gateway or DNS server given or any listed unit's, nor one of
// `hostAddresses` (this computer's).
AddressSequence SequenceAddresses(const std::vector<ListedAddresses>& units,
                                  const AddressAssignment& assignment,
                                  const std::vector<std::string>& hostAddresses);

} // namespace tarnwick
