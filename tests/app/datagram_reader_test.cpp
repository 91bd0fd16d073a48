#include "app/datagram_reader.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

struct Socket {
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ~Socket() { ::close(fd); }
};

// A burst into a buffer with room for a few: every datagram is either read, in the order sent,
// or counted as lost, including those turned away after the last one that got in.
TEST(DatagramReader, KeepsOrderAndCountsTheLossesAtTheEndOfABurst) {
    Socket receiver;
    Socket sender;
    const int small = 4096;
    const int on = 1;
    ASSERT_EQ(::setsockopt(receiver.fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small), 0);
    ASSERT_EQ(::setsockopt(receiver.fd, SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof on), 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(receiver.fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    ASSERT_EQ(::getsockname(receiver.fd, reinterpret_cast<sockaddr*>(&address), &length), 0);

    // Sent before the reader starts: the buffer fills, and the rest of the burst is lost.
    constexpr int Burst = 200;
    for (int i = 0; i < Burst; ++i) {
        const std::string payload = std::to_string(i) + std::string(300, '.');
        ::sendto(sender.fd, payload.data(), payload.size(), 0,
                 reinterpret_cast<const sockaddr*>(&address), sizeof address);
    }

    tarnwick::DatagramReader reader(receiver.fd, [] {});
    int read = 0;
    int lost = 0;
    int last = -1;
    bool ordered = true;
    for (auto until = std::chrono::steady_clock::now() + 5s;
         read + lost < Burst && std::chrono::steady_clock::now() < until;
         std::this_thread::sleep_for(1ms))
        for (const tarnwick::DatagramBatch& batch : reader.Take()) {
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

} // namespace
