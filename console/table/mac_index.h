// The first row holding each MAC text, found with one probe into a flat table.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace tarnwick {

// The texts stay in the rows: the index keeps row numbers and hashes only, and `macOf(row)`
// reads a row's text when two hashes meet. A lookup touches one slot and the row it names,
// instead of a bucket, a node and a key held elsewhere.
class MacIndex {
public:
    // The lowest row whose text is `mac`; 0 when none.
    template <typename MacOf> int Find(std::string_view mac, const MacOf& macOf) const {
        if (slots_.empty())
            return 0;
        return slots_[Probe(mac, Hash(mac), macOf)].row;
    }

    // `row` now holds `mac`; the rows already holding it keep their place.
    template <typename MacOf> void Add(std::string_view mac, int row, const MacOf& macOf) {
        if ((used_ + 1) * 2 > slots_.size())
            Grow();
        const std::uint32_t hash = Hash(mac);
        Slot& slot = slots_[Probe(mac, hash, macOf)];
        SetNext(row, 0);
        if (slot.row == 0) {
            slot = {hash, row};
            ++used_;
        } else {
            Link(slot, row);
        }
    }

    // `row` no longer holds `mac`.
    template <typename MacOf> void Remove(std::string_view mac, int row, const MacOf& macOf) {
        if (slots_.empty())
            return;
        const std::size_t at = Probe(mac, Hash(mac), macOf);
        if (slots_[at].row != 0)
            Unlink(at, row);
    }

    void Clear() {
        slots_.clear();
        next_.clear();
        used_ = 0;
    }

    // Rows of each text in ascending order through `NextHolder`, and each text in one slot.
    template <typename MacOf> bool Check(int rowCount, const MacOf& macOf) const {
        int reached = 0;
        for (const Slot& slot : slots_) {
            for (int row = slot.row, previous = 0; row != 0;
                 previous = row, row = NextHolder(row)) {
                if (row <= previous || row > rowCount || Hash(macOf(row)) != slot.hash ||
                    macOf(row) != macOf(slot.row) || Find(macOf(row), macOf) != slot.row)
                    return false;
                ++reached;
            }
        }
        return reached == rowCount;
    }

private:
    struct Slot {
        std::uint32_t hash = 0;
        int row = 0; // 0: free
    };

    static std::uint32_t Hash(std::string_view mac) {
        return static_cast<std::uint32_t>(std::hash<std::string_view>{}(mac));
    }

    // The slot holding `mac`, or the free slot where it would go.
    template <typename MacOf>
    std::size_t Probe(std::string_view mac, std::uint32_t hash, const MacOf& macOf) const {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const Slot& slot = slots_[at];
            if (slot.row == 0 || (slot.hash == hash && macOf(slot.row) == mac))
                return at;
        }
    }

    int NextHolder(int row) const {
        return static_cast<std::size_t>(row) <= next_.size()
                   ? next_[static_cast<std::size_t>(row - 1)]
                   : 0;
    }
    void SetNext(int row, int next);
    void Link(Slot& slot, int row);
    void Unlink(std::size_t at, int row);
    void Erase(std::size_t at);
    void Grow();

    std::vector<Slot> slots_; // a power of two, at most half used
    std::size_t used_ = 0;
    // The next row holding the same text, by row number; a chain rarely has a second row.
    std::vector<int> next_;
};

} // namespace tarnwick
