// Discovery at scale across the private test network: kvq-unit-sim answers one identification
// request with N replies at full speed, taken (a) by a raw receiver that only counts datagrams
// and (b) by the probe with intake and list update. Run through scripts/bench-discovery.sh.
#include "protocol/datagram.h"
#include "tests/e2e/discovery_probe.h"
#include "tests/e2e/sim_process.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

using tarnwick::test::DiscoveryProbe;

struct Run {
    int datagrams = 0;
    int rows = 0;
    double ms = 0;
    int buffer = 0;
};

// One sweep: everything that arrives until N datagrams are in or the line stays quiet for 1 s.
Run Sweep(DiscoveryProbe::Mode mode, int units) {
    DiscoveryProbe probe(mode);
    QString error;
    if (!probe.Bind(error)) {
        std::fprintf(stderr, "cannot bind: %s\n", qPrintable(error));
        std::exit(1);
    }
    if (!probe.Broadcast(tarnwick::IdentificationRequest()))
        std::fprintf(stderr, "the identification request did not go out\n");
    QElapsedTimer quiet;
    quiet.start();
    int seen = 0;
    probe.WaitUntil(
        [&] {
            if (probe.Datagrams() != seen) {
                seen = probe.Datagrams();
                quiet.restart();
            }
            return seen >= units || quiet.elapsed() > 1000;
        },
        60000);
    return {probe.Datagrams(), probe.Table().UnitCount(),
            static_cast<double>(probe.FirstToLastNs()) / 1e6, probe.ReceiveBufferSize()};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString missing = tarnwick::test::MissingTestNetworkReason();
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "bench_discovery: %s\n", qPrintable(missing));
        return 1;
    }
    constexpr int Rounds = 3;
    std::printf("%8s %5s | %-28s | %-38s | %s\n", "N", "round", "raw receiver",
                "probe (intake + update)", "probe/raw");
    for (const int units : {1000, 10000}) {
        tarnwick::test::SimProcess sim;
        QString error;
        if (!sim.Start({"--count", QString::number(units), "--no-reply-log"}, error)) {
            std::fprintf(stderr, "bench_discovery: %s\n", qPrintable(error));
            return 1;
        }
        for (int round = 1; round <= Rounds; ++round) {
            const Run probe = Sweep(DiscoveryProbe::Mode::Intake, units);
            const Run raw = Sweep(DiscoveryProbe::Mode::CountOnly, units);
            std::printf(
                "%8d %5d | %6d datagrams %8.2f ms | %6d datagrams %6d rows %8.2f ms | %5.2f\n",
                units, round, raw.datagrams, raw.ms, probe.datagrams, probe.rows, probe.ms,
                raw.ms > 0 ? probe.ms / raw.ms : 0.0);
            if (round == Rounds && units == 10000)
                std::printf("receive buffer granted: %d bytes\n", probe.buffer);
        }
    }
    return 0;
}
