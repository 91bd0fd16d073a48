// Drains a bound UDP socket on a thread of its own: a burst of replies waits in memory instead of
// overflowing the kernel's receive buffer while the window paints or takes a click.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick {

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
};

class DatagramReader {
public:
    // Reads `descriptor` (bound, with the drop counter switched on) until destroyed. `ready` runs
    // on the reader's thread whenever the queue stops being empty: it may only post.
    DatagramReader(int descriptor, std::function<void()> ready);
    ~DatagramReader();
    DatagramReader(const DatagramReader&) = delete;
    DatagramReader& operator=(const DatagramReader&) = delete;

    // Everything queued so far, oldest first.
    std::vector<DatagramBatch> Take();
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
    std::mutex mutex_;
    std::vector<DatagramBatch> queue_;
    std::size_t queuedBytes_ = 0;
    bool readyPosted_ = false;
    std::thread thread_;
};

} // namespace tarnwick
