#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace lexanta {

// The slot of each entry once entries have moved: slot numbers in chunks of at most
// `chunkCapacity`, shared with the copies of the order. A change copies the chunk list (tens of
// kilobytes at ten million entries) and the chunks it writes, never the whole order, so a
// savepoint before each change stays cheap. A chunk of consecutive slots holds no array.
//
// A copy may be read on another thread while the original changes: the original writes only
// arrays that no copy shares.
class EntryOrder {
public:
    explicit EntryOrder(std::uint32_t chunkCapacity = 4096);

    std::size_t size() const { return size_; }
    std::uint32_t operator[](std::size_t entry) const {
        const std::size_t c = chunkOf(entry);
        const Chunk& chunk = chunks_[c];
        const auto offset = static_cast<std::uint32_t>(entry - starts_[c]);
        return chunk.array ? chunk.array[offset] : chunk.first + offset;
    }

    // Entries size() .. size()+count-1 in slots first .. first+count-1.
    void appendRun(std::uint32_t first, std::size_t count);
    // Entries at .. at+removed-1 replaced by the `count` slots from `added` on. Nothing changes
    // when it throws.
    void splice(std::size_t at, std::size_t removed, const std::uint32_t* added, std::size_t count);

private:
    struct Chunk {
        std::shared_ptr<std::uint32_t[]> array; // none: first, first+1, ...
        std::uint32_t first = 0;
        std::uint32_t size = 0;
    };
    // Entry e lies in chunk lookup_[e >> kLookupBits] or a later one.
    static constexpr int kLookupBits = 10;

    std::size_t chunkOf(std::size_t entry) const {
        std::size_t c = lookup_[entry >> kLookupBits];
        while (starts_[c + 1] <= entry)
            ++c;
        return c;
    }
    std::uint32_t* ownSlots(Chunk& chunk);
    void copySlots(const Chunk& chunk, std::uint32_t from, std::uint32_t to,
                   std::uint32_t* out) const;
    // starts_, lookup_ and size_ again from chunk `from` on; allocates nothing when the number
    // of chunks and entries is as before.
    void index(std::size_t from);

    std::uint32_t capacity_;
    std::size_t size_ = 0;
    std::vector<Chunk> chunks_;
    std::vector<std::uint32_t> starts_{0}; // first entry of each chunk, then size_
    std::vector<std::uint32_t> lookup_{0};
};

} // namespace lexanta
