#include "runtime/datagram_reader.h"

#include <arpa/inet.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

namespace tarnwick {
namespace {

// Datagrams per system call.
constexpr int ReadBatch = 64;
// The largest UDP payload, so nothing is ever cut short.
constexpr std::size_t LargestDatagram = 65536;
// What a batch takes beyond its two buffers' capacity: its place in the queue's vector (which
// may be twice as long as it needs) and in the consumer's deque, and the allocator's header of
// each buffer.
constexpr std::size_t AllocatorHeader = 16;
constexpr std::size_t BatchOverhead = 3 * sizeof(DatagramBatch) + 2 * AllocatorHeader;
// How long a quiet socket is polled before the reader sleeps.
constexpr auto BurstGap = std::chrono::milliseconds(2);

// Buffers for one recvmmsg call; pages are touched only as datagrams land in them.
struct ReadSlots {
    ReadSlots() : data(std::make_unique_for_overwrite<char[]>(ReadBatch * LargestDatagram)) {
        for (std::size_t i = 0; i < ReadBatch; ++i)
            vectors[i] = {data.get() + i * LargestDatagram, LargestDatagram};
    }
    // recvmmsg writes into the headers: they are set afresh before every call.
    void Reset() {
        for (std::size_t i = 0; i < ReadBatch; ++i) {
            msghdr& h = headers[i].msg_hdr;
            h = {};
            h.msg_name = &senders[i];
            h.msg_namelen = sizeof(sockaddr_in);
            h.msg_iov = &vectors[i];
            h.msg_iovlen = 1;
            h.msg_control = controls[i].data();
            h.msg_controllen = controls[i].size();
            headers[i].msg_len = 0;
        }
    }

    std::unique_ptr<char[]> data;
    std::array<iovec, ReadBatch> vectors{};
    std::array<sockaddr_in, ReadBatch> senders{};
    std::array<std::array<char, CMSG_SPACE(sizeof(std::uint32_t))>, ReadBatch> controls{};
    std::array<mmsghdr, ReadBatch> headers{};
};

// The socket's drop counter now: losses at a burst's tail are stamped on no datagram.
bool DropCounter(int descriptor, std::uint32_t& counter) {
    std::array<std::uint32_t, SK_MEMINFO_VARS> memory{};
    socklen_t length = sizeof memory;
    if (::getsockopt(descriptor, SOL_SOCKET, SO_MEMINFO, memory.data(), &length) != 0 ||
        length <= SK_MEMINFO_DROPS * sizeof(std::uint32_t))
        return false;
    counter = memory[SK_MEMINFO_DROPS];
    return true;
}

// The socket's drop counter as the kernel stamped it on this datagram.
bool DropCounter(msghdr& header, std::uint32_t& counter) {
    for (cmsghdr* c = CMSG_FIRSTHDR(&header); c != nullptr; c = CMSG_NXTHDR(&header, c))
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SO_RXQ_OVFL) {
            std::memcpy(&counter, CMSG_DATA(c), sizeof counter);
            return true;
        }
    return false;
}

std::size_t Footprint(const DatagramBatch& batch) {
    return BatchOverhead + batch.bytes.capacity() +
           batch.entries.capacity() * sizeof(DatagramBatch::Entry);
}

// A count of losses stays a count, however long a storm lasts.
std::uint32_t CappedSum(std::uint32_t a, std::size_t b) {
    return static_cast<std::uint32_t>(
        std::min<std::size_t>(std::size_t{a} + b, std::numeric_limits<std::uint32_t>::max()));
}

} // namespace

DatagramReader::DatagramReader(int descriptor, std::function<void()> ready, std::size_t limitBytes)
    : descriptor_(descriptor), wake_(::eventfd(0, EFD_CLOEXEC)), ready_(std::move(ready)),
      limit_(limitBytes), thread_([this] { Run(); }) {}

DatagramReader::~DatagramReader() {
    stop_ = true;
    Wake();
    thread_.join();
    if (wake_ >= 0)
        ::close(wake_);
}

void DatagramReader::ExpectBurst(std::chrono::milliseconds within) {
    expectUntil_ = (std::chrono::steady_clock::now() + within).time_since_epoch().count();
    // Woken now, not by the first reply: a processor that has gone idle can take longer to
    // come back than a small buffer lasts.
    Wake();
}

void DatagramReader::Wake() {
    const std::uint64_t one = 1;
    if (wake_ >= 0) {
        [[maybe_unused]] const auto written = ::write(wake_, &one, sizeof one);
    }
}

std::vector<DatagramBatch> DatagramReader::Take() {
    std::lock_guard lock(mutex_);
    readyPosted_ = false;
    std::vector<DatagramBatch> taken = std::exchange(queue_, {});
    if (lost_ != 0) {
        DatagramBatch losses;
        losses.dropped = std::exchange(lost_, 0);
        taken.push_back(std::move(losses));
    }
    return taken;
}

void DatagramReader::Queue(DatagramBatch batch) {
    const std::size_t footprint = Footprint(batch);
    bool post = false;
    {
        std::lock_guard lock(mutex_);
        batch.dropped = CappedSum(batch.dropped, std::exchange(lost_, 0));
        // Only the reader adds to what is held, so room seen here is room still there.
        if (batch.entries.empty() || *held_ + footprint > limit_) {
            // Past the bound the datagrams are lost, and said so like the kernel's losses. A
            // loss alone takes no place in the queue: empty batches must not pile up instead.
            lost_ = CappedSum(batch.dropped, batch.entries.size());
        } else {
            batch.held = HeldRoom(held_, footprint);
            queue_.push_back(std::move(batch));
        }
        post = !std::exchange(readyPosted_, true);
    }
    if (post)
        ready_();
}

std::uint32_t DatagramReader::NewDrops(std::uint32_t counter) {
    // The counter wraps; a datagram queued before the last look at the socket carries an older
    // count than that look did.
    const auto added = static_cast<std::int32_t>(counter - kernelDrops_);
    if (added <= 0)
        return 0;
    kernelDrops_ = counter;
    return static_cast<std::uint32_t>(added);
}

void DatagramReader::Run() {
    ReadSlots slots;
    // Without an eventfd the stop flag is looked at now and then.
    const int timeoutMs = wake_ >= 0 ? -1 : 100;
    while (!stop_) {
        std::array<pollfd, 2> waits{{{descriptor_, POLLIN, 0}, {wake_, POLLIN, 0}}};
        if (::poll(waits.data(), waits.size(), timeoutMs) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (stop_ || (waits[0].revents & POLLNVAL) != 0)
            return;
        if (waits[1].revents != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const auto read = ::read(wake_, &count, sizeof count);
        }
        // Drain, and keep looking for a moment after the queue runs dry: in a burst the next
        // reply is microseconds away, and falling asleep and being woken for each one (an
        // inter-processor interrupt, dear on a virtual machine) is slower than the burst.
        auto lastRead = std::chrono::steady_clock::now();
        while (!stop_) {
            const auto now = std::chrono::steady_clock::now();
            draining_ = now - lastRead < BurstGap;
            // Awake also while the replies to a request are due: the first one's wake-up is
            // then the only one.
            if (!draining_ && now.time_since_epoch().count() >= expectUntil_)
                break;
            slots.Reset();
            const int read =
                ::recvmmsg(descriptor_, slots.headers.data(), ReadBatch, MSG_DONTWAIT, nullptr);
            if (read <= 0)
                continue;
            lastRead = std::chrono::steady_clock::now();
            DatagramBatch batch;
            std::size_t total = 0;
            for (int i = 0; i < read; ++i)
                total += slots.headers[static_cast<std::size_t>(i)].msg_len;
            batch.bytes.reserve(total);
            batch.entries.reserve(static_cast<std::size_t>(read));
            for (std::size_t i = 0; i < static_cast<std::size_t>(read); ++i) {
                mmsghdr& m = slots.headers[i];
                std::uint32_t counter = 0;
                if (DropCounter(m.msg_hdr, counter))
                    batch.dropped += NewDrops(counter);
                batch.entries.push_back({static_cast<std::uint32_t>(batch.bytes.size()), m.msg_len,
                                         ntohl(slots.senders[i].sin_addr.s_addr)});
                batch.bytes.append(static_cast<const char*>(slots.vectors[i].iov_base), m.msg_len);
            }
            Queue(std::move(batch));
        }
        if (std::uint32_t counter = 0; !stop_ && DropCounter(descriptor_, counter))
            if (const std::uint32_t lost = NewDrops(counter); lost != 0) {
                DatagramBatch batch;
                batch.dropped = lost;
                Queue(std::move(batch));
            }
        draining_ = false;
    }
}

} // namespace tarnwick
