#include "sim/storm_sender.h"

#include "protocol/constants.h"
#include "sim/burst_sender.h"
#include "sim/json_line.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace kvqsim {
namespace {

constexpr std::size_t EthernetHeader = 14;
constexpr std::size_t IpHeader = 20;
constexpr std::size_t UdpHeader = 8;
constexpr std::size_t MacLength = 6;

struct Link {
    int index = 0;
    std::array<unsigned char, MacLength> mac{};
    std::uint32_t address = 0; // host order
};

std::optional<Link> FindLink(std::string& error) {
    ifaddrs* all = nullptr;
    if (::getifaddrs(&all) != 0) {
        error = std::string("getifaddrs: ") + std::strerror(errno);
        return std::nullopt;
    }
    std::optional<Link> link;
    std::string name;
    for (const ifaddrs* a = all; a != nullptr && name.empty(); a = a->ifa_next) {
        const unsigned flags = a->ifa_flags;
        if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET ||
            (flags & IFF_LOOPBACK) != 0 || (flags & IFF_BROADCAST) == 0 || (flags & IFF_UP) == 0)
            continue;
        const std::uint32_t address =
            ntohl(reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr.s_addr);
        name = a->ifa_name;
        link = Link{};
        link->address = address;
    }
    for (const ifaddrs* a = all; a != nullptr && link; a = a->ifa_next)
        if (a->ifa_addr != nullptr && a->ifa_addr->sa_family == AF_PACKET && name == a->ifa_name) {
            const auto* ll = reinterpret_cast<const sockaddr_ll*>(a->ifa_addr);
            link->index = ll->sll_ifindex;
            std::memcpy(link->mac.data(), ll->sll_addr, MacLength);
        }
    ::freeifaddrs(all);
    if (!link || link->index == 0) {
        error = "no broadcasting interface";
        return std::nullopt;
    }
    return link;
}

using Bytes = std::vector<unsigned char>;

std::uint16_t Checksum(const Bytes& bytes, std::size_t from, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = from; i + 1 < from + size; i += 2)
        sum += static_cast<std::uint32_t>(bytes[i] << 8 | bytes[i + 1]);
    while (sum >> 16 != 0)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

void Put16(Bytes& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<unsigned char>(value >> 8);
    bytes[at + 1] = static_cast<unsigned char>(value);
}

void Put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    Put16(bytes, at, value >> 16);
    Put16(bytes, at + 2, value & 0xFFFF);
}

// The reply as the loop repeats it: to every station, from the unit's address and port.
Bytes Frame(const Link& link, const std::string& datagram, std::uint16_t port) {
    Bytes frame(EthernetHeader + IpHeader + UdpHeader + datagram.size());
    std::fill_n(frame.begin(), MacLength, 0xFF);
    std::copy(link.mac.begin(), link.mac.end(), frame.begin() + MacLength);
    Put16(frame, 2 * MacLength, ETH_P_IP);
    constexpr std::size_t Ip = EthernetHeader;
    frame[Ip] = 0x45; // version 4, no options
    Put16(frame, Ip + 2, static_cast<std::uint32_t>(IpHeader + UdpHeader + datagram.size()));
    frame[Ip + 8] = 64; // time to live
    frame[Ip + 9] = IPPROTO_UDP;
    Put32(frame, Ip + 12, link.address);
    Put32(frame, Ip + 16, INADDR_BROADCAST);
    Put16(frame, Ip + 10, Checksum(frame, Ip, IpHeader));
    constexpr std::size_t Udp = Ip + IpHeader;
    Put16(frame, Udp, port);
    Put16(frame, Udp + 2, port);
    Put16(frame, Udp + 4, static_cast<std::uint32_t>(UdpHeader + datagram.size()));
    // Checksum 0: none, which IPv4 allows.
    std::copy(datagram.begin(), datagram.end(), frame.begin() + Udp + UdpHeader);
    return frame;
}

} // namespace

std::optional<StormFigures> SendStorm(const std::string& datagram, std::uint16_t port, int seconds,
                                      int linkMbps, const std::function<void()>& started,
                                      std::string& error) {
    const std::optional<Link> link = FindLink(error);
    if (!link)
        return std::nullopt;
    Bytes frame = Frame(*link, datagram, port);
    const int descriptor = ::socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC, 0);
    if (descriptor < 0) {
        error = std::string("raw socket (needs root): ") + std::strerror(errno);
        return std::nullopt;
    }
    sockaddr_ll to{};
    to.sll_family = AF_PACKET;
    to.sll_protocol = htons(ETH_P_IP);
    to.sll_ifindex = link->index;
    to.sll_halen = MacLength;
    std::memset(to.sll_addr, 0xFF, MacLength);
    // One frame, many headers: a system call hands the link a run of copies.
    constexpr std::size_t Run = 64;
    iovec vector{frame.data(), frame.size()};
    std::array<mmsghdr, Run> headers{};
    for (mmsghdr& h : headers) {
        h.msg_hdr.msg_name = &to;
        h.msg_hdr.msg_namelen = sizeof to;
        h.msg_hdr.msg_iov = &vector;
        h.msg_hdr.msg_iovlen = 1;
    }
    const double bitsPerFrame = 8.0 * static_cast<double>(datagram.size() + FrameOverheadBytes);
    started();
    const auto begun = std::chrono::steady_clock::now();
    const auto end = begun + std::chrono::seconds(seconds);
    StormFigures figures;
    for (auto now = begun; now < end; now = std::chrono::steady_clock::now()) {
        const int n = ::sendmmsg(descriptor, headers.data(), Run, 0);
        if (n > 0) {
            figures.sent += static_cast<std::uint64_t>(n);
            if (linkMbps > 0)
                std::this_thread::sleep_until(
                    begun +
                    std::chrono::nanoseconds(static_cast<long long>(
                        static_cast<double>(figures.sent) * bitsPerFrame * 1000.0 / linkMbps)));
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != ENOBUFS && errno != EINTR) {
            error = std::string("sendmmsg: ") + std::strerror(errno);
            ::close(descriptor);
            return std::nullopt;
        }
        pollfd room{descriptor, POLLOUT, 0};
        ::poll(&room, 1, 1);
    }
    figures.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
    ::close(descriptor);
    return figures;
}

std::optional<std::string> RunStorm(const std::string& reply, int seconds, int linkMbps,
                                    const std::function<void(const std::string&)>& log) {
    const auto started = [&] {
        log(JsonLine()
                .Add("event", "storm-started")
                .Add("unit", 0)
                .Add("bytes", static_cast<int>(reply.size()))
                .Text());
    };
    std::string error;
    const auto figures = SendStorm(reply, tarnwick::ConstantsCommKVQWithKVQConsoleSetupPort,
                                   seconds, linkMbps, started, error);
    if (!figures)
        return error;
    const double perSecond =
        figures->seconds > 0 ? static_cast<double>(figures->sent) / figures->seconds : 0;
    log(JsonLine()
            .Add("event", "storm")
            .Add("sent", static_cast<long long>(figures->sent))
            .Add("perSecond", static_cast<long long>(perSecond))
            .Text());
    return std::nullopt;
}

} // namespace kvqsim
