#include "core/vocab/entry_order.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <numeric>

namespace lexanta {

EntryOrder::EntryOrder(std::uint32_t chunkCapacity) : capacity_(std::max(chunkCapacity, 8u)) {}

std::uint32_t* EntryOrder::ownSlots(Chunk& chunk) {
    if (chunk.array && chunk.array.use_count() == 1) {
        // What a copy that let go of the array last did with it happened before this.
        std::atomic_thread_fence(std::memory_order_acquire);
        return chunk.array.get();
    }
    std::shared_ptr<std::uint32_t[]> own(new std::uint32_t[capacity_]);
    copySlots(chunk, 0, chunk.size, own.get());
    chunk.array = std::move(own);
    chunk.first = 0;
    return chunk.array.get();
}

void EntryOrder::copySlots(const Chunk& chunk, std::uint32_t from, std::uint32_t to,
                           std::uint32_t* out) const {
    if (chunk.array)
        std::copy(chunk.array.get() + from, chunk.array.get() + to, out);
    else
        std::iota(out, out + (to - from), chunk.first + from);
}

void EntryOrder::index(std::size_t from) {
    starts_.resize(chunks_.size() + 1);
    for (std::size_t c = from; c < chunks_.size(); ++c)
        starts_[c + 1] = starts_[c] + chunks_[c].size;
    size_ = starts_.back();
    lookup_.resize((size_ >> kLookupBits) + 1);
    std::size_t block = starts_[from] >> kLookupBits;
    if ((block << kLookupBits) < starts_[from])
        ++block; // its first entry lies in an earlier chunk, unchanged
    std::size_t c = from;
    for (; block < lookup_.size(); ++block) {
        const std::size_t entry = block << kLookupBits;
        while (c + 1 < chunks_.size() && starts_[c + 1] <= entry)
            ++c;
        lookup_[block] = static_cast<std::uint32_t>(c);
    }
}

void EntryOrder::appendRun(std::uint32_t first, std::size_t count) {
    std::vector<Chunk> chunks = chunks_;
    chunks.reserve(chunks.size() + count / capacity_ + 1);
    for (std::size_t done = 0; done < count;) {
        const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(capacity_, count - done));
        chunks.push_back({nullptr, first + static_cast<std::uint32_t>(done), n});
        done += n;
    }
    starts_.reserve(chunks.size() + 1);
    lookup_.reserve(((size_ + count) >> kLookupBits) + 1);
    const std::size_t from = chunks_.size();
    chunks_.swap(chunks);
    index(from);
}

void EntryOrder::splice(std::size_t at, std::size_t removed, const std::uint32_t* added,
                        std::size_t count) {
    if (removed == 0 && count == 0)
        return;
    // Chunks first .. last hold the entries replaced, or the place they go.
    std::size_t first = 0, last = 0, begin = 0, end = 0;
    if (!chunks_.empty()) {
        first = chunkOf(at < size_ ? at : at - 1);
        begin = at - starts_[first];
        last = removed > 0 ? chunkOf(at + removed - 1) : first;
        end = at + removed - starts_[last];
    }
    if (!chunks_.empty() && first == last) {
        Chunk& chunk = chunks_[first];
        const std::size_t after = chunk.size - removed + count;
        if (after <= capacity_ && (after >= capacity_ / 8 || chunks_.size() == 1) && after > 0) {
            lookup_.reserve(((size_ - removed + count) >> kLookupBits) + 1);
            std::uint32_t* own = ownSlots(chunk);
            std::memmove(own + begin + count, own + end, (chunk.size - end) * sizeof(*own));
            std::copy(added, added + count, own + begin);
            chunk.size = static_cast<std::uint32_t>(after);
            index(first);
            return;
        }
    }
    // Otherwise the chunks are cut anew, with a small neighbour taken in so that chunks stay
    // large and a lookup short.
    std::size_t from = first, to = chunks_.empty() ? 0 : last + 1;
    std::size_t total = begin + count + (chunks_.empty() ? 0 : chunks_[last].size - end);
    if (total < capacity_ / 4) {
        if (from > 0 && chunks_[from - 1].size + total <= capacity_)
            total += chunks_[--from].size;
        else if (to < chunks_.size() && chunks_[to].size + total <= capacity_)
            total += chunks_[to++].size;
    }
    std::vector<std::uint32_t> all(total);
    std::uint32_t* out = all.data();
    for (std::size_t c = from; c < first; ++c) {
        copySlots(chunks_[c], 0, chunks_[c].size, out);
        out += chunks_[c].size;
    }
    if (!chunks_.empty()) {
        copySlots(chunks_[first], 0, static_cast<std::uint32_t>(at - starts_[first]), out);
        out += at - starts_[first];
    }
    out = std::copy(added, added + count, out);
    for (std::size_t c = last; c < to; ++c) {
        const auto skip = c == last ? static_cast<std::uint32_t>(end) : 0u;
        copySlots(chunks_[c], skip, chunks_[c].size, out);
        out += chunks_[c].size - skip;
    }
    // Chunks three quarters full, room for the inserts that follow.
    const std::size_t fill = std::max<std::size_t>(capacity_ * 3 / 4, 1);
    const std::size_t pieces = (total + fill - 1) / fill;
    std::vector<Chunk> chunks;
    chunks.reserve(chunks_.size() - (to - from) + pieces);
    chunks.insert(chunks.end(), chunks_.begin(), chunks_.begin() + static_cast<long>(from));
    for (std::size_t p = 0, done = 0; p < pieces; ++p) {
        const std::size_t n = (total - done) / (pieces - p);
        std::shared_ptr<std::uint32_t[]> own(new std::uint32_t[capacity_]);
        std::copy(all.data() + done, all.data() + done + n, own.get());
        chunks.push_back({std::move(own), 0, static_cast<std::uint32_t>(n)});
        done += n;
    }
    chunks.insert(chunks.end(), chunks_.begin() + static_cast<long>(to), chunks_.end());
    starts_.reserve(chunks.size() + 1);
    lookup_.reserve(((size_ - removed + count) >> kLookupBits) + 1);
    chunks_.swap(chunks);
    index(from);
}

} // namespace lexanta
