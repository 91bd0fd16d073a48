#include "bench/raw_receiver.h"

#include "protocol/constants.h"
#include "protocol/datagram.h"

#include <arpa/inet.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace bench {
namespace {

constexpr int Batch = 64;
constexpr std::size_t Largest = 65536;
constexpr int QuietMs = 1000;
constexpr int WantedBuffer = 8 << 20;

[[noreturn]] void Fail(const char* what) {
    std::perror(what);
    std::exit(1);
}

} // namespace

RawSweep RawReceive(int units, std::uint32_t simulator, int bufferCap) {
    using Clock = std::chrono::steady_clock;
    RawSweep sweep;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        Fail("socket");
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    ::setsockopt(fd, SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof on);
    const int wanted = bufferCap > 0 ? std::min(bufferCap, WantedBuffer) : WantedBuffer;
    if (bufferCap > 0 || ::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &wanted, sizeof wanted) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &wanted, sizeof wanted);
    socklen_t length = sizeof sweep.buffer;
    ::getsockopt(fd, SOL_SOCKET, SO_RCVBUF, &sweep.buffer, &length);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(tarnwick::ConstantsCommKVQWithKVQConsoleSetupPort);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        Fail("bind");

    std::vector<char> data(Batch * Largest);
    std::array<iovec, Batch> vectors{};
    std::array<sockaddr_in, Batch> senders{};
    std::array<std::array<char, CMSG_SPACE(sizeof(std::uint32_t))>, Batch> controls{};
    std::array<mmsghdr, Batch> headers{};

    const std::string request = tarnwick::IdentificationRequest();
    address.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    const Clock::time_point start = Clock::now();
    if (::sendto(fd, request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&address),
                 sizeof address) < 0)
        Fail("sendto");
    std::uint32_t counter = 0;
    Clock::time_point last = start;
    pollfd wait{fd, POLLIN, 0};
    while (sweep.datagrams<units&& ::poll(&wait, 1, QuietMs)> 0) {
        for (std::size_t i = 0; i < Batch; ++i) {
            vectors[i] = {data.data() + i * Largest, Largest};
            headers[i].msg_hdr = {&senders[i],
                                  sizeof(sockaddr_in),
                                  &vectors[i],
                                  1,
                                  controls[i].data(),
                                  controls[i].size(),
                                  0};
        }
        const int n = ::recvmmsg(fd, headers.data(), Batch, MSG_DONTWAIT, nullptr);
        for (int i = 0; i < n; ++i) {
            msghdr& h = headers[static_cast<std::size_t>(i)].msg_hdr;
            for (cmsghdr* c = CMSG_FIRSTHDR(&h); c != nullptr; c = CMSG_NXTHDR(&h, c))
                if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SO_RXQ_OVFL)
                    std::memcpy(&counter, CMSG_DATA(c), sizeof counter);
            if (ntohl(senders[static_cast<std::size_t>(i)].sin_addr.s_addr) == simulator) {
                last = Clock::now();
                if (sweep.datagrams++ == 0)
                    sweep.msToFirst =
                        std::chrono::duration<double, std::milli>(last - start).count();
            }
        }
    }
    // Losses after the last datagram are stamped on none: the socket's own count has them all.
    std::array<std::uint32_t, SK_MEMINFO_VARS> memory{};
    length = sizeof memory;
    sweep.drops = ::getsockopt(fd, SOL_SOCKET, SO_MEMINFO, memory.data(), &length) == 0
                      ? memory[SK_MEMINFO_DROPS]
                      : counter;
    sweep.msToLast = std::chrono::duration<double, std::milli>(last - start).count();
    ::close(fd);
    return sweep;
}

void PrintRawColumns(int units, int bufferCap, int round, const RawSweep& raw) {
    std::printf("%6d %6s %5d | %8d %6llu %6.1f %6.1f ms | ", units,
                bufferCap == 0 ? "large" : "stock", round, raw.datagrams,
                static_cast<unsigned long long>(raw.drops), raw.msToFirst, raw.msToLast);
}

std::string Ratio(const RawSweep& raw, int units, long long consoleMsToAll) {
    if (raw.datagrams != units || consoleMsToAll < 0)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(consoleMsToAll) / raw.msToLast);
    return text;
}

} // namespace bench
