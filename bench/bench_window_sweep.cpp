// The real window taking a sweep of N units, answering in one burst, through its own socket: how
// long until every unit is listed, how long the event loop was ever kept from other work
// (repaints, clicks) meanwhile, what the kernel dropped and how often the console asked again;
// beside a bare recvmmsg receiver taking the same sweep in the same run. Each with the console's
// large receive buffer and with a desktop's stock one.
// Run through scripts/bench-discovery.sh (private test network, offscreen).
#include "app/window/main_window.h"
#include "bench/raw_receiver.h"
#include "protocol/constants.h"
#include "runtime/udp_transport.h"
#include "sim/sim_process.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QTimer>
#include <QTreeView>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Until the simulator has read back its own burst and told of it: no sweep starts behind another.
void Settle() {
    kvqsim::WaitUntil([] { return false; }, 300);
}

using tarnwick::UdpTransport;

// The process's resident memory now, in MB.
long ResidentMB() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024;
    return -1;
}

int Identifications(kvqsim::SimProcess& sim) {
    return sim.Count([](const QJsonObject& e) {
        return e["event"] == "request" &&
               e["function"].toInt() == tarnwick::FunctionCodeIdentification;
    });
}

bench::ConsoleSweep Window(kvqsim::SimProcess& sim, int units, int bufferCap, int timeoutMs) {
    bench::ConsoleSweep sweep;
    const int asked = Identifications(sim);
    auto link = std::make_unique<UdpTransport>();
    link->CapReceiveBuffer(bufferCap);
    const UdpTransport& transport = *link;
    QElapsedTimer clock;
    clock.start();
    tarnwick::frmLumivarNetTarnwick window(false, std::move(link)); // sends the request
    const QAbstractItemModel* model = window.findChild<QTreeView*>("ListViewUnitsOnline")->model();
    // A 5 ms heartbeat from the first row listed on: any gap much longer is time the loop could
    // not repaint or take a click while the units came in.
    qint64 beat = -1;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        if (beat >= 0)
            sweep.longestStallMs = std::max(sweep.longestStallMs, clock.elapsed() - beat);
        beat = clock.elapsed();
    });
    QObject::connect(model, &QAbstractItemModel::rowsInserted, [&] {
        if (!heartbeat.isActive())
            heartbeat.start(5);
        if (sweep.msToAll < 0 && model->rowCount() >= units)
            sweep.msToAll = clock.elapsed();
    });
    window.show();
    while (sweep.msToAll < 0 && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    sweep.drops = transport.DroppedDatagrams();
    sweep.listed = model->rowCount();
    sweep.residentMB = ResidentMB();
    window.close();
    Settle();
    sweep.recoveries = Identifications(sim) - asked - 1;
    return sweep;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (const QString missing = kvqsim::MissingTestNetworkReason(); !missing.isEmpty()) {
        std::fprintf(stderr, "bench_window_sweep: %s\n", qPrintable(missing));
        return 1;
    }
    const std::uint32_t simulator = QHostAddress(qEnvironmentVariable("TW_ADDR_A")).toIPv4Address();
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 2;
    std::printf("%6s %6s %5s | %-34s | %-38s | %s\n", "N", "buffer", "round",
                "raw recvmmsg: replies drops first last",
                "window: drops listed asked all stall RSS", "window/raw");
    for (const int units : {1000, 3000, 10000}) {
        kvqsim::SimProcess sim;
        QString error;
        if (!sim.Start({"--count", QString::number(units), "--no-reply-log", "--burst"}, error)) {
            std::fprintf(stderr, "bench_window_sweep: %s\n", qPrintable(error));
            return 1;
        }
        for (const int cap : {0, UdpTransport::StockReceiveBuffer}) {
            for (int round = 1; round <= rounds; ++round) {
                Settle();
                const bench::RawSweep raw = bench::RawReceive(units, simulator, cap);
                Settle();
                const bench::ConsoleSweep window = Window(sim, units, cap, 15000);
                bench::PrintRawColumns(units, cap, round, raw);
                std::printf("%6llu %6d %3d %6lld ms %4lld ms %3ld MB | %s\n",
                            static_cast<unsigned long long>(window.drops), window.listed,
                            window.recoveries, static_cast<long long>(window.msToAll),
                            static_cast<long long>(window.longestStallMs), window.residentMB,
                            bench::Ratio(raw, units, window.msToAll).c_str());
                std::fflush(stdout);
            }
        }
    }
    return 0;
}
