// Discovery at scale across the private test network: kvq-unit-sim answers one identification
// request with N replies in one burst, taken in turn by (a) a bare recvmmsg receiver and (b) the
// console's runtime (its transport, session and timer, as the window runs them), so it asks again
// when replies were lost. Each with the console's large receive buffer and with a desktop's stock
// one. Run through scripts/bench-discovery.sh.
#include "bench/raw_receiver.h"
#include "protocol/datagram.h"
#include "runtime/console_runtime.h"
#include "runtime/udp_transport.h"
#include "sim/sim_process.h"
#include "tests/support/recording_sink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Until the simulator has read back its own burst and told of it: no sweep starts behind another.
void Settle() {
    kvqsim::WaitUntil([] { return false; }, 300);
}

using kvqsim::WaitUntil;
using tarnwick::UdpTransport;

// The transport, counting the identification requests that go out through it.
class CountingLink : public tarnwick::DatagramLink {
public:
    explicit CountingLink(int bufferCap) { transport.CapReceiveBuffer(bufferCap); }
    void Connect(Handlers handlers) override { transport.Connect(std::move(handlers)); }
    std::optional<tarnwick::SendFailure> Send(const std::string& datagram) override {
        identifications += datagram == tarnwick::IdentificationRequest() ? 1 : 0;
        return transport.Send(datagram);
    }
    tarnwick::SocketState State() const override { return transport.State(); }

    UdpTransport transport;
    int identifications = 0;
};

[[noreturn]] void Fail(const QString& what) {
    std::fprintf(stderr, "bench_discovery: %s\n", qPrintable(what));
    std::exit(1);
}

bench::ConsoleSweep Console(int units, int bufferCap, int timeoutMs) {
    bench::ConsoleSweep sweep;
    auto owned = std::make_unique<CountingLink>(bufferCap);
    const CountingLink& link = *owned;
    tarnwick::test::RecordingSink views;
    tarnwick::ConsoleRuntime runtime(false, views, std::move(owned));
    const tarnwick::SessionState& session = runtime.State();
    QElapsedTimer clock;
    QObject::connect(&runtime, &tarnwick::ConsoleRuntime::BatchEnded, [&] {
        if (sweep.msToAll < 0 && session.UnitCount() >= units)
            sweep.msToAll = clock.elapsed();
    });
    // A 5 ms heartbeat: any gap much longer is time the loop could not repaint or take a click.
    qint64 beat = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        sweep.longestStallMs = std::max(sweep.longestStallMs, clock.elapsed() - beat);
        beat = clock.elapsed();
    });
    clock.start();
    runtime.Start();
    if (link.identifications != 1)
        Fail("the identification request did not go out");
    heartbeat.start(5);
    WaitUntil([&] { return sweep.msToAll >= 0; }, timeoutMs);
    sweep.drops = link.transport.DroppedDatagrams();
    sweep.listed = session.UnitCount();
    sweep.recoveries = link.identifications - 1;
    return sweep;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (const QString missing = kvqsim::MissingTestNetworkReason(); !missing.isEmpty())
        Fail(missing);
    const std::uint32_t simulator = QHostAddress(qEnvironmentVariable("TW_ADDR_A")).toIPv4Address();
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    std::printf("%6s %6s %5s | %-34s | %-38s | %s\n", "N", "buffer", "round",
                "raw recvmmsg: replies drops first last", "console: drops listed asked all stall",
                "console/raw");
    for (const int units : {1000, 3000, 10000}) {
        kvqsim::SimProcess sim;
        QString error;
        if (!sim.Start({"--count", QString::number(units), "--no-reply-log", "--burst"}, error))
            Fail(error);
        for (const int cap : {0, UdpTransport::StockReceiveBuffer}) {
            for (int round = 1; round <= rounds; ++round) {
                Settle();
                const bench::RawSweep raw = bench::RawReceive(units, simulator, cap);
                Settle();
                const bench::ConsoleSweep console = Console(units, cap, 15000);
                bench::PrintRawColumns(units, cap, round, raw);
                std::printf("%6llu %6d %3d %6lld ms %4lld ms | %s\n",
                            static_cast<unsigned long long>(console.drops), console.listed,
                            console.recoveries, static_cast<long long>(console.msToAll),
                            static_cast<long long>(console.longestStallMs),
                            bench::Ratio(raw, units, console.msToAll).c_str());
                std::fflush(stdout);
            }
        }
    }
    return 0;
}
