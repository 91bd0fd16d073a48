#include "cli/cli_console.h"

#include "console/table/latin1_text.h"
#include "runtime/single_instance.h"
#include "runtime/termination_signal.h"
#include "runtime/udp_transport.h"

#include <QCoreApplication>
#include <QUdpSocket>

#include <QTimer>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace tarnwick::cli {

CliConsole::CliConsole(bool internalMode)
    : runtime_(internalMode, *this, {}, /*selectsFirstUnit=*/false) {}

std::optional<std::string> CliConsole::Start() {
    // Two programs on the port would each take only some of the replies.
    if (ConsoleWindowRunning())
        return "a Tarnwick window of this user is running; close it first";
    {
        QUdpSocket probe;
        if (!probe.bind(QHostAddress::AnyIPv4, ConstantsCommKVQWithKVQConsoleSetupPort,
                        QUdpSocket::DontShareAddress))
            return "UDP port 10021 is taken by another program (" +
                   probe.errorString().toStdString() + ")";
    }
    if (BroadcastInterfaces(AllInterfaces()).empty())
        return "no IPv4 network interface is up";
    OnTerminationSignal(runtime_, [this](int signal) {
        interrupted_ = signal;
        QCoreApplication::quit();
    });
    runtime_.Start();
    return std::nullopt;
}

void CliConsole::Wait(int ms, const std::function<bool()>& done) {
    // The application's one loop runs a stretch at a time, always from main's own stack: a
    // command is a script, and its steps wait between the stretches.
    if (interrupted_ != 0 || (done && done()))
        return;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &QCoreApplication::quit);
    const auto check = [&] {
        if (done && done())
            QCoreApplication::quit();
    };
    const auto ticked = QObject::connect(&runtime_, &ConsoleRuntime::Ticked, check);
    const auto batch = QObject::connect(&runtime_, &ConsoleRuntime::BatchEnded, check);
    deadline.start(ms);
    QCoreApplication::exec();
    QObject::disconnect(ticked);
    QObject::disconnect(batch);
}

void CliConsole::Stop() {
    runtime_.Stop();
}

int CliConsole::RowOf(const std::string& mac) const {
    // Hex digits in either case name the same unit.
    const auto same = [](unsigned char a, unsigned char b) {
        return std::tolower(a) == std::tolower(b);
    };
    const UnitTable& units = State().units;
    for (int row = 1; row <= units.UnitCount(); ++row)
        if (std::ranges::equal(units.CellAt(row, ColumnMACAddress).text, mac, same))
            return row;
    return 0;
}

void CliConsole::ShowMessage(const MessageReport& report, MessageOrigin origin) {
    const std::string text =
        report.encoding == TextEncoding::Utf8 ? report.text : Latin1ToUtf8(report.text);
    std::fprintf(stderr, "tarnwick-cli: %s%s\n",
                 report.title.empty() ? "" : (report.title + ": ").c_str(), text.c_str());
    // Nobody closes a box here: the next message of this origin may be said too.
    QTimer::singleShot(0, &runtime_, [this, origin] { runtime_.Session()->MessageClosed(origin); });
}

} // namespace tarnwick::cli
