#include "sim/sim_unit.h"

#include <cstdio>
#include <random>
#include <sstream>

namespace kvqsim {
namespace {

constexpr std::uint32_t FirstAddress = 0x0A4D000A; // 10.77.0.10, the IP Address field of unit 0

std::string FormatIPv4(std::uint32_t v) {
    return std::to_string(v >> 24) + "." + std::to_string((v >> 16) & 0xFF) + "." +
           std::to_string((v >> 8) & 0xFF) + "." + std::to_string(v & 0xFF);
}

std::string Hex(std::uint32_t value, int digits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
    return buffer;
}

// mt19937 draws 32 bits, carried in a wider type.
std::uint32_t Draw(std::mt19937& rng) {
    return static_cast<std::uint32_t>(rng());
}

} // namespace

SimUnit MakeUnit(const UnitOptions& options, int index) {
    std::mt19937 rng(options.seed * 2654435761u + static_cast<std::uint32_t>(index));
    auto pick = [&](std::initializer_list<const char*> choices) {
        return std::string(choices.begin()[rng() % choices.size()]);
    };
    const std::uint32_t ip = FirstAddress + static_cast<std::uint32_t>(index);
    const auto u = static_cast<std::uint32_t>(index);

    SimUnit unit;
    auto& f = unit.field;
    f[1] = "Lumivar";
    f[2] = pick({"KVQ Video Server", "KVQ Recorder", "KVQ Encoder"});
    f[3] = std::to_string(2 + rng() % 3) + "." + std::to_string(rng() % 20) + "." +
           std::to_string(rng() % 10);
    f[4] = pick({"HW-A1", "HW-B2", "HW-C3"});
    f[5] = Hex(0x10000000u + (options.seed * 7919u + u) % 0x0FFFFFFFu, 8);
    f[6] = FormatIPv4(ip);
    f[7] = FormatIPv4(ip);
    f[8] = "255.255.0.0";
    f[9] = FormatIPv4((ip & 0xFFFF0000u) | 1u);
    f[10] = index % 2 ? "TRUE" : "FALSE";
    f[11] = FormatIPv4((ip & 0xFFFF0000u) | 2u);
    f[12] = "kvq-" + std::to_string(index + 1);
    f[13] = "00:1B:2C:" + Hex((u >> 16) & 0xFF, 2) + ":" + Hex((u >> 8) & 0xFF, 2) + ":" +
            Hex(u & 0xFF, 2);
    f[14] = Hex(Draw(rng) % 256, 2);
    f[15] = index % 4 == 3 ? "" : "CAM-" + std::to_string(index + 1); // some units have none
    f[16] = pick({"4 channels", "8 channels", "16 channels"});
    f[17] = Hex(Draw(rng), 8) + Hex(Draw(rng), 8);
    f[18] = Hex(Draw(rng) % 5, 2);
    return unit;
}

std::vector<SimUnit> MakeUnits(const UnitOptions& options, int count) {
    std::vector<SimUnit> units;
    units.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        units.push_back(MakeUnit(options, options.firstIndex + i));
    return units;
}

std::optional<std::vector<SimUnit>> ReadUnits(std::istream& in, const UnitOptions& options,
                                              std::string& error) {
    std::vector<SimUnit> units;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        if (line == "[unit]") {
            units.push_back(MakeUnit(options, options.firstIndex + static_cast<int>(units.size())));
            continue;
        }
        const auto equals = line.find('=');
        int field = 0;
        std::istringstream number(line.substr(0, equals == std::string::npos ? 0 : equals));
        if (units.empty() || equals == std::string::npos || !(number >> field) || field < 1 ||
            field > HighestField) {
            error = "line " + std::to_string(lineNumber) +
                    R"(: expected "[unit]" or "<field 1-18>=<value>" inside a unit)";
            return std::nullopt;
        }
        units.back().field[static_cast<std::size_t>(field)] = line.substr(equals + 1);
    }
    return units;
}

} // namespace kvqsim
