#include "runtime/datagram_reader.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using tarnwick::DatagramBatch;
using tarnwick::DatagramReader;

struct Socket {
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ~Socket() { ::close(fd); }
};

// A receiver on loopback as the transport sets it up, and a sender aimed at it.
class Loopback {
public:
    explicit Loopback(int receiveBuffer) {
        const int on = 1;
        EXPECT_EQ(
            ::setsockopt(receiver.fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer),
            0);
        EXPECT_EQ(::setsockopt(receiver.fd, SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof on), 0);
        address_.sin_family = AF_INET;
        address_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::bind(receiver.fd, reinterpret_cast<sockaddr*>(&address_), sizeof address_), 0);
        socklen_t length = sizeof address_;
        EXPECT_EQ(::getsockname(receiver.fd, reinterpret_cast<sockaddr*>(&address_), &length), 0);
    }

    // Datagram i begins with its number.
    void Send(int count, std::size_t size) {
        for (int i = 0; i < count; ++i) {
            std::string payload = std::to_string(i);
            payload.resize(size, '.');
            ::sendto(sender.fd, payload.data(), payload.size(), 0,
                     reinterpret_cast<const sockaddr*>(&address_), sizeof address_);
        }
    }

    // Until the reader has read all that waits in the socket (a slow machine gets its time).
    void WaitUntilRead() const {
        int waiting = 1;
        for (auto until = std::chrono::steady_clock::now() + 10s;
             waiting != 0 && std::chrono::steady_clock::now() < until;
             std::this_thread::sleep_for(1ms))
            ASSERT_EQ(::ioctl(receiver.fd, FIONREAD, &waiting), 0);
        EXPECT_EQ(waiting, 0);
    }

    Socket receiver;
    Socket sender;

private:
    sockaddr_in address_{};
};

struct Taken {
    int queued = 0;
    int lost = 0;
    std::size_t capacity = 0; // what the batches' buffers really take
    std::vector<DatagramBatch> batches;
};

// Takes until `expected` datagrams are accounted for, keeping every batch: nothing is given back.
void TakeUntil(DatagramReader& reader, int expected, Taken& taken) {
    for (auto until = std::chrono::steady_clock::now() + 10s;
         taken.queued + taken.lost < expected && std::chrono::steady_clock::now() < until;
         std::this_thread::sleep_for(1ms))
        for (DatagramBatch& batch : reader.Take()) {
            taken.queued += static_cast<int>(batch.entries.size());
            taken.lost += static_cast<int>(batch.dropped);
            taken.capacity +=
                batch.bytes.capacity() + batch.entries.capacity() * sizeof(DatagramBatch::Entry);
            taken.batches.push_back(std::move(batch));
        }
    EXPECT_EQ(taken.queued + taken.lost, expected);
}

// A burst into a buffer with room for a few: every datagram is either read, in the order sent,
// or counted as lost, including those turned away after the last one that got in.
TEST(DatagramReader, KeepsOrderAndCountsTheLossesAtTheEndOfABurst) {
    Loopback loopback(4096);
    // Sent before the reader starts: the buffer fills, and the rest of the burst is lost.
    constexpr int Burst = 200;
    loopback.Send(Burst, 300);

    DatagramReader reader(loopback.receiver.fd, [] {});
    int read = 0;
    int lost = 0;
    int last = -1;
    bool ordered = true;
    for (auto until = std::chrono::steady_clock::now() + 5s;
         read + lost < Burst && std::chrono::steady_clock::now() < until;
         std::this_thread::sleep_for(1ms))
        for (const DatagramBatch& batch : reader.Take()) {
            lost += static_cast<int>(batch.dropped);
            for (const auto& entry : batch.entries) {
                const int number = std::stoi(batch.bytes.substr(entry.offset, entry.size));
                ordered = ordered && number > last;
                last = number;
                EXPECT_EQ(entry.sender, INADDR_LOOPBACK);
                ++read;
            }
        }
    EXPECT_GT(read, 0);
    EXPECT_GT(lost, 0);
    EXPECT_EQ(read + lost, Burst);
    EXPECT_TRUE(ordered);
}

constexpr std::size_t Bound = 64 << 10;
const auto NoWake = [] {};

// A storm against a window that takes nothing: the reader holds no more than its bound, buffers
// counted whole, and drops the rest with a count.
TEST(DatagramReader, HoldsNoMoreThanItsBoundWhileNothingIsTaken) {
    Loopback loopback(1 << 20);
    DatagramReader reader(loopback.receiver.fd, NoWake, Bound);
    constexpr int Sent = 4000; // 1.2 MB
    loopback.Send(Sent, 300);
    loopback.WaitUntilRead();

    Taken taken;
    TakeUntil(reader, Sent, taken);
    // Nothing was given back, so this is the most it ever held.
    EXPECT_LE(reader.HeldBytes(), Bound);
    EXPECT_GE(reader.HeldBytes(), taken.capacity);
    EXPECT_LE(taken.capacity, Bound);
    EXPECT_GT(taken.queued, 0);
    EXPECT_GT(taken.lost, 0);
}

// Taken batches hold their room until they are gone: while the window keeps them, what comes
// is dropped, not held; once it lets them go, there is room again.
TEST(DatagramReader, TakenBatchesHoldTheirRoomUntilTheyAreGone) {
    Loopback loopback(1 << 20);
    DatagramReader reader(loopback.receiver.fd, NoWake, Bound);
    // Small datagrams fill it to within a small batch's room.
    constexpr int Filling = 5000;
    loopback.Send(Filling, 20);
    auto first = std::make_unique<Taken>();
    TakeUntil(reader, Filling, *first);
    ASSERT_GT(first->lost, 0);
    const std::size_t held = reader.HeldBytes();

    // Neither fits what is left; both would fit an empty bound.
    constexpr int Large = 2;
    loopback.Send(Large, Bound / 4);
    Taken second;
    TakeUntil(reader, Large, second);
    EXPECT_EQ(second.queued, 0);
    EXPECT_EQ(reader.HeldBytes(), held);

    first.reset();
    EXPECT_EQ(reader.HeldBytes(), 0u);
    constexpr int Small = 10;
    loopback.Send(Small, 300);
    Taken third;
    TakeUntil(reader, Small, third);
    EXPECT_EQ(third.queued, Small);
}

} // namespace
