// Rows that stay where they are while the table grows.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace tarnwick {

// A sequence grown at its end, in fixed chunks that are never moved or copied: a row's address
// holds until Clear, and growing costs one allocation per chunk instead of moving every row.
template <typename T, std::size_t ChunkRows> class StableRows {
    static_assert(ChunkRows > 0 && (ChunkRows & (ChunkRows - 1)) == 0,
                  "a power of two keeps indexing to a shift and a mask");

public:
    std::size_t Size() const { return size_; }
    const T& operator[](std::size_t index) const {
        return chunks_[index / ChunkRows][index % ChunkRows];
    }
    T& operator[](std::size_t index) { return chunks_[index / ChunkRows][index % ChunkRows]; }

    // A new default-constructed last element.
    T& Append() {
        if (size_ == chunks_.size() * ChunkRows)
            chunks_.push_back(std::make_unique<T[]>(ChunkRows));
        return (*this)[size_++];
    }

    void Clear() {
        chunks_.clear();
        size_ = 0;
    }

private:
    std::vector<std::unique_ptr<T[]>> chunks_;
    std::size_t size_ = 0;
};

} // namespace tarnwick
