#include "sim/burst_sender.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

namespace kvqsim {

std::size_t SendBurst(int descriptor, const std::vector<const std::string*>& datagrams,
                      std::uint32_t address, std::uint16_t port, int linkMbps) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    std::vector<iovec> vectors(datagrams.size());
    std::vector<mmsghdr> headers(datagrams.size());
    for (std::size_t i = 0; i < datagrams.size(); ++i) {
        vectors[i] = {const_cast<char*>(datagrams[i]->data()), datagrams[i]->size()};
        headers[i].msg_hdr.msg_name = &to;
        headers[i].msg_hdr.msg_namelen = sizeof to;
        headers[i].msg_hdr.msg_iov = &vectors[i];
        headers[i].msg_hdr.msg_iovlen = 1;
    }
    // A switch hands the replies to the console's port no faster than its link carries them:
    // each frame with its overhead.
    constexpr std::size_t PacedChunk = 32;
    const auto started = std::chrono::steady_clock::now();
    double bits = 0;
    std::size_t sent = 0;
    for (int waits = 0; sent < datagrams.size() && waits < 200;) {
        const std::size_t limit = linkMbps > 0 ? PacedChunk : 1024;
        const auto chunk =
            static_cast<unsigned>(std::min<std::size_t>(datagrams.size() - sent, limit));
        const int n = ::sendmmsg(descriptor, headers.data() + sent, chunk, 0);
        if (n > 0) {
            for (std::size_t i = sent; i < sent + static_cast<std::size_t>(n); ++i)
                bits += 8.0 * static_cast<double>(datagrams[i]->size() + FrameOverheadBytes);
            sent += static_cast<std::size_t>(n);
            if (linkMbps > 0)
                // Asleep, not spinning: the units are other machines, not this one's CPU.
                std::this_thread::sleep_until(
                    started +
                    std::chrono::nanoseconds(static_cast<long long>(bits * 1000.0 / linkMbps)));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != ENOBUFS)
            break;
        // The send queue is full: wait for room, as the units' network cards do.
        pollfd room{descriptor, POLLOUT, 0};
        ::poll(&room, 1, 5);
        ++waits;
    }
    return sent;
}

} // namespace kvqsim
