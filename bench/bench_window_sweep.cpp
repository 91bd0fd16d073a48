// The real window taking a sweep of N units through its socket: how long until every unit is
// listed, and how long the event loop was ever kept from other work (repaints, clicks) meanwhile.
// Run through scripts/bench-discovery.sh (private test network, offscreen).
#include "app/main_window.h"
#include "sim/sim_process.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString missing = kvqsim::MissingTestNetworkReason();
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "bench_window_sweep: %s\n", qPrintable(missing));
        return 1;
    }
    std::printf("%8s | %10s | %12s | %s\n", "N", "listed", "sweep ms", "longest loop stall ms");
    for (const int units : {1000, 10000}) {
        kvqsim::SimProcess sim;
        QString error;
        if (!sim.Start({"--count", QString::number(units), "--no-reply-log"}, error)) {
            std::fprintf(stderr, "bench_window_sweep: %s\n", qPrintable(error));
            return 1;
        }
        QElapsedTimer clock;
        clock.start();
        tarnwick::frmLumivarNetTarnwick window(false); // sends the identification request
        window.show();
        // A 5 ms heartbeat: any gap much longer is time the loop could not repaint or click.
        qint64 last = clock.elapsed(), longest = 0;
        QTimer heartbeat;
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        heartbeat.start(5);
        while (window.Session().UnitCount() < units && clock.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        std::printf("%8d | %10d | %12lld | %lld\n", units, window.Session().UnitCount(),
                    static_cast<long long>(clock.elapsed()), static_cast<long long>(longest));
        window.close();
    }
    return 0;
}
