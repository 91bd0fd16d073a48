// One emulated unit: every field it reports, and whether it is identifying itself.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace kvqsim {

inline constexpr int HighestField = 18;

struct SimUnit {
    std::array<std::string, HighestField + 1> field; // index 1..18; [0] unused
    bool selected = false;
};

struct UnitOptions {
    std::uint32_t seed = 1;
    int firstIndex = 0; // the index of the first unit MakeUnits makes
};

// Deterministic from the seed and the index; MAC addresses are unique per index.
SimUnit MakeUnit(const UnitOptions& options, int index);
std::vector<SimUnit> MakeUnits(const UnitOptions& options, int count);

// Reads units from "[unit]" blocks of "<field number>=<value>" lines; '#' starts a comment.
// Fields a block leaves out come from MakeUnit for that index. Nothing on a syntax error,
// with the reason in `error`.
std::optional<std::vector<SimUnit>> ReadUnits(std::istream& in, const UnitOptions& options,
                                              std::string& error);

} // namespace kvqsim
