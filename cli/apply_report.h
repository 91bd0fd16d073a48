// What tarnwick-cli apply reports of each unit the plan names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::cli {

struct FieldChange {
    std::string key; // the column's caption in snake case
    std::string from;
    std::string to;
};

struct PlannedUnit {
    std::string mac;
    // "confirmed", "no answer", "unclear answer", "not found" or "unchanged"
    std::string result;
    std::vector<FieldChange> changes;
};

// One line per unit: MAC, result, and each change as key: from -> to.
std::string ReportTable(const std::vector<PlannedUnit>& units);
std::string ReportJson(const std::vector<PlannedUnit>& units, std::uint64_t lostReplies);

} // namespace tarnwick::cli
