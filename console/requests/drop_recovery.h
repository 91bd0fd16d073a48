// When the receive buffer overflowed during a burst of replies, the units it turned away are asked
// again soon after the burst, instead of at the next periodic request or never.
#pragma once

#include <cstdint>
#include <string>

namespace tarnwick {

// A buffer too small for the site must not turn the console into a flood of its own.
inline constexpr int MostRequestsPerCycle = 3;

class DropRecovery {
public:
    // The receive buffer had no room for `count` datagrams.
    void Dropped(std::uint32_t count);
    // A unit answered: the burst goes on.
    void ReplyArrived() { replied_ = true; }
    // One tick of the identification timer; whether the identification request is to go out
    // again now.
    bool Tick();
    // The periodic identification request went out: it asks every unit anyway.
    void CycleStarted();
    // What was lost in this cycle and whether the units were asked again; empty when nothing was.
    std::string Text() const;
    // Replies lost since the session started, for a front end's report.
    std::uint64_t LostInAll() const { return lostInAll_; }
    // Lost replies not yet asked for again, while requests are left in this cycle.
    bool Pending() const { return unanswered_ && asked_ < MostRequestsPerCycle; }

private:
    std::uint64_t lost_ = 0;
    std::uint64_t lostInAll_ = 0;
    bool unanswered_ = false; // lost since the last request
    bool replied_ = false;    // since the last tick
    int quietTicks_ = 0;
    int asked_ = 0;
};

} // namespace tarnwick
