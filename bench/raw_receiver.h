// The yardstick of the discovery benchmarks: a bare recvmmsg loop on port 10021 that asks once and
// counts the simulator's replies, with the receive buffer sized as the console sizes its own.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

struct RawSweep {
    int datagrams = 0;       // from the simulator
    std::uint64_t drops = 0; // turned away by a full receive buffer
    double msToFirst = 0;    // from the request to the first reply
    double msToLast = 0;     // ... and to the last
    int buffer = 0;          // the receive buffer granted
};

// What the console made of the same sweep.
struct ConsoleSweep {
    std::uint64_t drops = 0;
    int listed = 0;
    int recoveries = 0;
    long long msToAll = -1; // -1: not all listed
    long long longestStallMs = 0;
    long residentMB = 0; // with every unit of the sweep listed, where measured
};

// Broadcasts one identification request and reads until `units` replies from `simulator` (IPv4,
// host order) are in or none came for a second. `bufferCap` 0 asks for the console's 8 MiB with
// privilege; otherwise for at most that much without.
RawSweep RawReceive(int units, std::uint32_t simulator, int bufferCap);

// A row's first columns: the sweep and what the bare receiver got (no line end).
void PrintRawColumns(int units, int bufferCap, int round, const RawSweep& raw);
// The console's time to list every unit over the bare receiver's time to read them; "-" when
// either missed some.
std::string Ratio(const RawSweep& raw, int units, long long consoleMsToAll);

} // namespace bench
