// Drains a bound UDP socket on a thread of its own: a burst of replies waits in memory instead of
// overflowing the kernel's receive buffer while the window paints or takes a click.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tarnwick {

// Bytes counted against a reader's bound for as long as what they stand for lives: whoever holds
// a batch holds its room, and gives it back by letting the batch go.
class HeldRoom {
public:
    HeldRoom() = default;
    HeldRoom(std::shared_ptr<std::atomic<std::size_t>> account, std::size_t bytes)
        : account_(std::move(account)), bytes_(bytes) {
        *account_ += bytes_;
    }
    HeldRoom(HeldRoom&& other) noexcept
        : account_(std::move(other.account_)), bytes_(std::exchange(other.bytes_, 0)) {}
    HeldRoom& operator=(HeldRoom&& other) noexcept {
        if (this != &other) {
            GiveBack();
            account_ = std::move(other.account_);
            bytes_ = std::exchange(other.bytes_, 0);
        }
        return *this;
    }
    HeldRoom(const HeldRoom&) = delete;
    HeldRoom& operator=(const HeldRoom&) = delete;
    ~HeldRoom() { GiveBack(); }

private:
    void GiveBack() {
        if (account_)
            *account_ -= std::exchange(bytes_, 0);
        account_.reset();
    }

    std::shared_ptr<std::atomic<std::size_t>> account_;
    std::size_t bytes_ = 0;
};

// Datagrams as one batch read gave them, in arrival order: bytes back to back.
struct DatagramBatch {
    struct Entry {
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
        std::uint32_t sender = 0; // IPv4, host byte order
    };
    std::string bytes;
    std::vector<Entry> entries;
    // Datagrams lost before these arrived: the kernel's queue was full (or ours was).
    std::uint32_t dropped = 0;
    HeldRoom held;
};

class DatagramReader {
public:
    // What the reader holds at most, queued and taken batches together; past it datagrams are
    // dropped and counted like the kernel's losses. A storm (a switching loop repeating one reply
    // as fast as the link carries it) must not take the memory with it, while the replies of a
    // site of 10,000 units in one burst (3 MB; 6 MB with each batch's bookkeeping even when read
    // one at a time) fit whole, and a window that falls behind for a while loses nothing.
    static constexpr std::size_t HeldLimitBytes = 16u << 20;

    // Reads `descriptor` (bound, with the drop counter switched on) until destroyed. `ready` runs
    // on the reader's thread whenever there is something to take: it may only post.
    DatagramReader(int descriptor, std::function<void()> ready,
                   std::size_t limitBytes = HeldLimitBytes);
    ~DatagramReader();
    DatagramReader(const DatagramReader&) = delete;
    DatagramReader& operator=(const DatagramReader&) = delete;

    // Everything queued so far, oldest first. The batches keep their room until they are gone.
    std::vector<DatagramBatch> Take();
    // What the queued and the taken batches hold now, their buffers' whole capacity counted.
    std::size_t HeldBytes() const { return *held_; }
    // Replies are due (a request went out): the reader stays awake for them this long.
    void ExpectBurst(std::chrono::milliseconds within);
    // Whether datagrams are coming in now (a burst): the reader is then better left the processor.
    bool Draining() const { return draining_; }

private:
    void Run();
    void Wake();
    // How many more datagrams the kernel turned away since the count last seen.
    std::uint32_t NewDrops(std::uint32_t counter);
    void Queue(DatagramBatch batch);

    const int descriptor_;
    const int wake_; // an eventfd: written to stop, or when a burst is due
    std::atomic<bool> stop_ = false;
    std::atomic<bool> draining_ = false;
    std::atomic<std::chrono::steady_clock::rep> expectUntil_ = 0;
    std::function<void()> ready_;
    std::uint32_t kernelDrops_ = 0; // the socket's counter as last seen
    const std::size_t limit_;
    const std::shared_ptr<std::atomic<std::size_t>> held_ =
        std::make_shared<std::atomic<std::size_t>>(0);
    std::mutex mutex_;
    std::vector<DatagramBatch> queue_;
    // Datagrams lost since the last batch queued: they ride on the next one, or come alone at Take.
    std::uint32_t lost_ = 0;
    bool readyPosted_ = false;
    std::thread thread_;
};

} // namespace tarnwick
