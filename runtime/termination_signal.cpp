#include "runtime/termination_signal.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace tarnwick {
namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int signal) {
    // Only async-signal-safe work here: the number goes through the pipe, errno stays.
    const int savedErrno = errno;
    const auto byte = static_cast<char>(signal);
    [[maybe_unused]] const auto written = ::write(signalPipe[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

void OnTerminationSignal(QObject& owner, std::function<void(int signal)> handler) {
    // Never blocking the handler, never inherited by a child.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &owner);
    QObject::connect(notifier, &QSocketNotifier::activated, &owner, [handler = std::move(handler)] {
        char byte = 0;
        if (::read(signalPipe[1], &byte, 1) == 1)
            handler(byte);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

} // namespace tarnwick
