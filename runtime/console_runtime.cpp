#include "runtime/console_runtime.h"

#include "runtime/udp_transport.h"

#include <QTime>

#include <utility>

namespace tarnwick {
namespace {

TimeOfDay Now() {
    const QTime now = QTime::currentTime();
    return {now.hour(), now.minute(), now.second()};
}

} // namespace

ConsoleRuntime::ConsoleRuntime(bool internalMode, SessionListener& views,
                               std::unique_ptr<DatagramLink> link, bool selectsFirstUnit)
    : session_(views, internalMode, selectsFirstUnit),
      link_(link ? std::move(link) : std::make_unique<UdpTransport>()) {
    TimerOpen.setInterval(TimerOpenIntervalMs);
    connect(&TimerOpen, &QTimer::timeout, this, &ConsoleRuntime::Tick);
}

ConsoleRuntime::~ConsoleRuntime() = default;

void ConsoleRuntime::Start() {
    DatagramLink::Handlers handlers;
    handlers.datagrams = [this](std::string_view bytes, std::string_view sender) {
        // The clock is read once a batch: a batch lasts a few milliseconds, results show seconds.
        if (!std::exchange(batchOpen_, true)) {
            batchTime_ = Now();
            emit BatchStarted();
        }
        Session()->TakeDatagram(bytes, sender, batchTime_);
    };
    handlers.batchEnded = [this] {
        batchOpen_ = false;
        emit BatchEnded();
    };
    handlers.dropped = [this](std::uint32_t count) { Session()->RepliesDropped(count); };
    handlers.interfacesChanged = [this](const std::vector<NetworkInterface>& all) {
        interfaces_ = all;
        FeedHostNetworks();
    };
    handlers.hostAddresses = [this](std::vector<std::string> addresses) {
        resolved_ = std::move(addresses);
        FeedHostNetworks();
    };
    link_->Connect(std::move(handlers));
    Session()->StartUp();
    TimerOpen.start();
}

void ConsoleRuntime::Stop() {
    Session()->ShutDown();
    TimerOpen.stop();
}

void ConsoleRuntime::FeedHostNetworks() {
    Session()->SetHostNetworks(resolved_, interfaces_);
    emit HostNetworksChanged();
}

void ConsoleRuntime::Tick() {
    Session()->TimerOpenTick(link_->State());
    emit Ticked();
    // For timing big sites from outside: how many are listed, each time that changes.
    if (trace_ &&
        std::exchange(tracedUnits_, session_.State().UnitCount()) != session_.State().UnitCount())
        qInfo("tarnwick: %d units listed", tracedUnits_);
}

void ConsoleRuntime::AfterInput() {
    // The link may hand in an input of its own while a datagram goes out (its interfaces
    // changed): that one's datagrams wait for the loop below.
    if (!draining_) {
        draining_ = true;
        while (const auto datagram = session_.PollTransmit())
            session_.Transmitted(*datagram, link_->Send(datagram->bytes), Now());
        draining_ = false;
    }
    // The next unit on the next turn of the loop: replies, ticks and repaints run in between.
    if (session_.State().Applying() && !stepQueued_) {
        stepQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            stepQueued_ = false;
            Session()->ApplyStep();
        });
    }
}

} // namespace tarnwick
