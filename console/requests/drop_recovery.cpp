#include "console/requests/drop_recovery.h"

namespace tarnwick {
namespace {

// About a second without a reply: the burst is over and the buffer empty again.
constexpr int QuietTicks = 2;

} // namespace

void DropRecovery::Dropped(std::uint32_t count) {
    if (count == 0)
        return;
    lost_ += count;
    lostInAll_ += count;
    unanswered_ = true;
}

bool DropRecovery::Tick() {
    quietTicks_ = replied_ ? 0 : quietTicks_ + 1;
    replied_ = false;
    if (!unanswered_ || quietTicks_ < QuietTicks || asked_ >= MostRequestsPerCycle)
        return false;
    unanswered_ = false;
    ++asked_;
    return true;
}

void DropRecovery::CycleStarted() {
    lost_ = 0;
    unanswered_ = false;
    asked_ = 0;
}

std::string DropRecovery::Text() const {
    if (lost_ == 0)
        return {};
    return std::to_string(lost_) + (lost_ == 1 ? " reply was" : " replies were") +
           " lost to a full receive buffer" + (asked_ > 0 ? "; asked again" : "");
}

} // namespace tarnwick
