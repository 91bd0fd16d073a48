// Rows that stay where they are while the table grows.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

namespace tarnwick {

// A sequence grown at its end, in fixed chunks that are never moved or copied: an element's
// address holds until Clear, and growing costs one allocation per chunk instead of moving every
// element. Clear destroys the elements but keeps the chunks: the next sweep lists about as many
// units again, into memory that is already the process's.
template <typename T, std::size_t ChunkRows> class StableRows {
    static_assert(ChunkRows > 0 && (ChunkRows & (ChunkRows - 1)) == 0,
                  "a power of two keeps indexing to a shift and a mask");

public:
    StableRows() = default;
    StableRows(const StableRows&) = delete;
    StableRows& operator=(const StableRows&) = delete;
    ~StableRows() { Clear(); }

    std::size_t Size() const { return size_; }
    const T& operator[](std::size_t index) const { return *Slot(index); }
    T& operator[](std::size_t index) { return *Slot(index); }

    // A new default-constructed last element.
    T& Append() {
        if (size_ == chunks_.size() * ChunkRows)
            chunks_.push_back(std::make_unique_for_overwrite<Chunk>());
        T* element = std::construct_at(Storage(size_));
        ++size_;
        return *element;
    }

    void Clear() {
        for (; size_ > 0; --size_)
            std::destroy_at(Slot(size_ - 1));
    }

private:
    struct Chunk {
        alignas(T) std::byte bytes[sizeof(T) * ChunkRows];
    };
    // Where element `index` lives or is to be built.
    T* Storage(std::size_t index) const {
        std::byte* at = chunks_[index / ChunkRows]->bytes + sizeof(T) * (index % ChunkRows);
        return reinterpret_cast<T*>(at);
    }
    // A built element.
    T* Slot(std::size_t index) const { return std::launder(Storage(index)); }

    std::vector<std::unique_ptr<Chunk>> chunks_;
    std::size_t size_ = 0;
};

} // namespace tarnwick
