#include "console/table/mac_index.h"

#include <algorithm>

namespace tarnwick {
namespace {

constexpr std::size_t FirstSlotCount = 16;

} // namespace

void MacIndex::SetNext(int row, int next) {
    const auto index = static_cast<std::size_t>(row - 1);
    if (index >= next_.size())
        next_.resize(index + 1, 0);
    next_[index] = next;
}

void MacIndex::Link(Slot& slot, int row) {
    if (row < slot.row) {
        SetNext(row, slot.row);
        slot.row = row;
        return;
    }
    int previous = slot.row;
    while (NextHolder(previous) != 0 && NextHolder(previous) < row)
        previous = NextHolder(previous);
    SetNext(row, NextHolder(previous));
    SetNext(previous, row);
}

void MacIndex::Unlink(std::size_t at, int row) {
    Slot& slot = slots_[at];
    if (slot.row == row) {
        const int next = NextHolder(row);
        SetNext(row, 0);
        if (next != 0)
            slot.row = next;
        else
            Erase(at);
        return;
    }
    for (int previous = slot.row; NextHolder(previous) != 0; previous = NextHolder(previous)) {
        if (NextHolder(previous) == row) {
            SetNext(previous, NextHolder(row));
            SetNext(row, 0);
            return;
        }
    }
}

// Linear probing without tombstones: the slots after the hole that may move closer to their
// home fill it, so a probe still stops at the first free slot.
void MacIndex::Erase(std::size_t at) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t hole = at;
    for (std::size_t j = (at + 1) & mask; slots_[j].row != 0; j = (j + 1) & mask) {
        const std::size_t home = slots_[j].hash & mask;
        const bool homeAfterHole = hole <= j ? home > hole && home <= j : home > hole || home <= j;
        if (!homeAfterHole) {
            slots_[hole] = slots_[j];
            hole = j;
        }
    }
    slots_[hole] = Slot{};
    --used_;
}

void MacIndex::Grow() {
    std::vector<Slot> old(std::max(FirstSlotCount, slots_.size() * 2));
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.row == 0)
            continue;
        std::size_t at = slot.hash & mask;
        while (slots_[at].row != 0)
            at = (at + 1) & mask;
        slots_[at] = slot;
    }
}

} // namespace tarnwick
