#include "core/listops/sorting.h"

#include "platform/codepage.h"
#include "platform/collation.h"
#include "platform/file_io.h"

#include "platform/both_cores.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <limits>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace lexanta {

namespace {

// One entry as the sort sees it: the rank of its key and the entry it came from.
struct Slot {
    std::uint32_t rank;
    std::uint32_t entry;
};

// Stands for an entry whose place another thread is still deciding (see partitionSort).
constexpr std::uint32_t kUnknownEntry = std::numeric_limits<std::uint32_t>::max();

// The distinct texts of a column, each numbered by first appearance. An open-addressing table
// of (hash, number) pairs over one byte arena of the texts, so that comparing a text reads
// memory nearby: a lookup costs about one cache miss, which dominates on lists of a million
// rows.
class DistinctTexts {
public:
    explicit DistinctTexts(std::size_t expected) {
        std::size_t capacity = 1024;
        while (capacity < expected)
            capacity *= 2;
        allocate(capacity);
    }

    static std::uint64_t hashOf(std::string_view text) {
        return std::hash<std::string_view>{}(text);
    }
    // A hint that the text of this hash is numbered soon.
    void prefetch(std::uint64_t hash) const {
        __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
    }

    std::uint32_t number(std::string_view text, std::uint64_t hash) {
        const std::uint64_t tag = hash >> 32;
        std::size_t mask = slots_.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const std::uint64_t slot = slots_[i];
            if (slot == 0)
                break;
            if ((slot >> 32) == tag) {
                const auto n = static_cast<std::uint32_t>(slot) - 1;
                if (text == this->text(n))
                    return n;
            }
        }
        const auto n = static_cast<std::uint32_t>(starts_.size());
        starts_.push_back(arena_.size());
        arena_.append(text);
        if ((starts_.size() + 1) * 2 > slots_.size())
            grow();
        mask = slots_.size() - 1;
        insert(tag, hash & mask, n);
        return n;
    }

    std::size_t size() const { return starts_.size(); }
    std::string_view text(std::uint32_t n) const {
        const std::size_t end = n + 1 < starts_.size() ? starts_[n + 1] : arena_.size();
        return std::string_view(arena_).substr(starts_[n], end - starts_[n]);
    }

private:
    void insert(std::uint64_t tag, std::size_t i, std::uint32_t n) {
        const std::size_t mask = slots_.size() - 1;
        while (slots_[i] != 0)
            i = (i + 1) & mask;
        slots_[i] = (tag << 32) | (static_cast<std::uint64_t>(n) + 1);
    }
    // The table is read at random: large pages spare most of its address translation misses.
    void allocate(std::size_t capacity) {
        std::vector<std::uint64_t>().swap(slots_);
        slots_.reserve(capacity);
        preferLargePages(slots_.data(), capacity * sizeof(std::uint64_t));
        slots_.assign(capacity, 0);
    }
    void grow() {
        allocate(slots_.size() * 2);
        for (std::uint32_t n = 0; n + 1 < starts_.size(); ++n) {
            const std::uint64_t hash = hashOf(text(n));
            insert(hash >> 32, hash & (slots_.size() - 1), n);
        }
    }

    std::vector<std::uint64_t> slots_; // 0 empty, else hash tag << 32 | (number + 1)
    std::string arena_;
    std::vector<std::size_t> starts_;
};

} // namespace

// Each distinct cell is decoded and keyed once; the keys are made, and then ordered, on both
// cores.
std::vector<std::uint32_t> keyRanks(const EntryTable& table, int field, const CodePage& codePage,
                                    const KeyCollator& collator,
                                    std::vector<std::string>* keysOfRanks,
                                    const std::function<void()>& poll) {
    const int entries = table.entryCount();
    constexpr int kPollEvery = 4096;
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<bool> stopped{false};
    // The poll may throw to stop the work; a second thread then leaves its part unfinished.
    const auto pollHere = [&] {
        if (!poll || std::this_thread::get_id() != caller)
            return !stopped.load(std::memory_order_relaxed);
        try {
            poll();
        } catch (...) {
            stopped.store(true, std::memory_order_relaxed);
            throw;
        }
        return true;
    };
    auto distinctOfEntry = largeVector<std::uint32_t>(static_cast<std::size_t>(entries));
    DistinctTexts distinct(static_cast<std::size_t>(entries) / 4);
    // Each entry's slot of the table is fetched a few ahead: the lookups are cache misses. The
    // texts are read a stretch at a time (after a sort or shuffle they lie anywhere in the
    // file, and `texts` fetches them ahead).
    constexpr int kAhead = 8;
    constexpr int kStretch = 1024;
    std::vector<std::string_view> stretch(kStretch);
    std::string_view texts[kAhead];
    std::uint64_t hashes[kAhead];
    for (int r = 0; r < entries + kAhead; ++r) {
        if (r % kPollEvery == 0)
            (void)pollHere();
        const int ring = r % kAhead;
        if (r - kAhead >= 0)
            distinctOfEntry[r - kAhead] = distinct.number(texts[ring], hashes[ring]);
        if (r < entries) {
            if (r % kStretch == 0)
                table.texts(field, r, std::min(entries, r + kStretch), stretch.data());
            texts[ring] = stretch[static_cast<std::size_t>(r % kStretch)];
            hashes[ring] = DistinctTexts::hashOf(texts[ring]);
            distinct.prefetch(hashes[ring]);
        }
    }

    const std::size_t count = distinct.size();
    const bool split = count >= static_cast<std::size_t>(kRowsWorthASecondCore);
    const std::size_t half = count / 2;
    std::string keyBytes[2];
    std::vector<std::string_view> keys(count);
    runOnBothCores(split, [&](int part) {
        // Multi-byte converters keep state: the second thread decodes with its own.
        std::optional<CodePage> own;
        if (split && part == 1)
            own.emplace(codePage.number());
        const CodePage& page = own ? *own : codePage;
        const std::size_t begin = part == 0 ? 0 : half;
        const std::size_t end = part == 0 ? half : count;
        std::vector<std::size_t> ends;
        ends.reserve(end - begin);
        std::string& bytes = keyBytes[part];
        for (std::size_t d = begin; d < end; ++d) {
            if ((d - begin) % kPollEvery == 0 && !pollHere())
                return;
            bytes += collator.sortKey(page.decode(distinct.text(static_cast<std::uint32_t>(d))));
            ends.push_back(bytes.size());
        }
        std::size_t start = 0;
        for (std::size_t d = begin; d < end; ++d) {
            keys[d] = std::string_view(bytes).substr(start, ends[d - begin] - start);
            start = ends[d - begin];
        }
    });

    // Ordered by their first eight bytes as a number, and only on a tie by all their bytes
    // (string_view compares bytes as unsigned, as memcmp does: the order of the sort keys).
    struct KeyRef {
        std::uint64_t head;
        std::uint32_t distinct;
    };
    std::vector<KeyRef> byKey(count);
    for (std::size_t d = 0; d < count; ++d) {
        std::uint64_t head = 0;
        const std::string_view key = keys[d];
        for (std::size_t i = 0; i < 8; ++i)
            head = head << 8 | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
        byKey[d] = {head, static_cast<std::uint32_t>(d)};
    }
    const auto less = [&keys](const KeyRef& a, const KeyRef& b) {
        return a.head != b.head ? a.head < b.head : keys[a.distinct] < keys[b.distinct];
    };
    // The ordering polls too, every so many comparisons; on the second thread a stop on the
    // first ends its part.
    struct Stopped {};
    runOnBothCores(split, [&](int part) {
        std::uint32_t compares = 0;
        const auto lessPolled = [&](const KeyRef& a, const KeyRef& b) {
            if (++compares % (16 * kPollEvery) == 0 && !pollHere())
                throw Stopped{};
            return less(a, b);
        };
        try {
            std::sort(byKey.begin() + (part == 0 ? 0 : static_cast<std::ptrdiff_t>(half)),
                      part == 0 ? byKey.begin() + static_cast<std::ptrdiff_t>(half) : byKey.end(),
                      lessPolled);
        } catch (const Stopped&) {
        }
    });
    (void)pollHere();
    std::inplace_merge(byKey.begin(), byKey.begin() + static_cast<std::ptrdiff_t>(half),
                       byKey.end(), less);

    std::vector<std::uint32_t> rankOfDistinct(count);
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < byKey.size(); ++i) {
        if (i > 0 && (byKey[i - 1].head != byKey[i].head ||
                      keys[byKey[i - 1].distinct] != keys[byKey[i].distinct]))
            ++rank;
        rankOfDistinct[byKey[i].distinct] = rank;
    }

    if (keysOfRanks) {
        keysOfRanks->assign(count == 0 ? 0 : rank + 1, std::string());
        for (std::size_t d = 0; d < count; ++d)
            if ((*keysOfRanks)[rankOfDistinct[d]].empty())
                (*keysOfRanks)[rankOfDistinct[d]] = keys[d];
    }
    // The entries' distinct numbers become their ranks in place.
    for (int r = 0; r < entries; ++r)
        distinctOfEntry[r] = rankOfDistinct[distinctOfEntry[r]];
    return distinctOfEntry;
}

namespace {

// Rows lo..hi of a Slot array that may start at row `first`.
struct SlotRows {
    Slot* data;
    int first;
    Slot& operator[](int row) const { return data[row - first]; }
};

using Pending = std::vector<std::pair<int, int>>;

// Stable insertion over rows lo..hi.
void insertionSort(const SlotRows& a, int lo, int hi) {
    for (int i = lo + 1; i <= hi; ++i) {
        const Slot saved = a[i];
        int k = i - 1;
        while (k >= lo && a[k].rank > saved.rank) {
            a[k + 1] = a[k];
            --k;
        }
        a[k + 1] = saved;
    }
}

// One call of the partition sort over rows lo..hi: a small range is insertion-sorted, a larger one
// partitioned and its two ranges pushed, the right one below the left, so that the left range
// and everything it spawns finish first, as in the recursive form. That matters because both
// ranges contain row k when j == k.
void sortStep(const SlotRows& a, int lo, int hi, Pending& pending) {
    if (hi - lo <= 12) {
        insertionSort(a, lo, hi);
        return;
    }
    const int mid = lo + (hi - lo) / 2;
    const Slot pivot = a[mid];
    a[mid] = a[lo];
    int j = lo + 1;
    int k = hi;
    for (;;) {
        while (j < k && pivot.rank > a[j].rank)
            ++j;
        while (k >= j && a[k].rank > pivot.rank)
            --k;
        if (j >= k)
            break;
        std::swap(a[j], a[k]);
        --k;
        ++j;
    }
    a[lo] = a[k];
    a[k] = pivot;
    if (j < hi)
        pending.emplace_back(j, hi);
    if (lo < k)
        pending.emplace_back(lo, k);
}

// Where to cut the pending ranges (the next one last) into a part for this thread, the
// ranges from index `cut` on, and one for a second thread, those before it; 0 when no cut
// gives both at least a third of the rows.
std::size_t evenCut(const Pending& pending) {
    long long total = 0;
    for (const auto& [lo, hi] : pending)
        total += hi - lo + 1;
    long long later = total; // rows of the ranges before index i
    for (std::size_t i = pending.size(); i-- > 1;) {
        later -= pending[i].second - pending[i].first + 1;
        const long long first = total - later;
        if (std::min(first, later) * 3 >= total)
            return i;
    }
    return 0;
}

// The partition sort over rows lo..hi, the recursion as a stack of pending ranges. Once the pending
// ranges divide evenly, the earlier ones are sorted here and the later ones on a second core.
// The steps depend on the ranks alone, so the later part can run at once on its own copy, in
// which an entry the earlier part is still placing (the row both parts share when a partition
// ended with j == k) stands in with the rank it will have: the largest of the earlier part.
// That entry takes the stand-in's place afterwards, and the order is exactly the sequential
// one, the order of equal keys included; so is the count of calls, reported in order.
long long partitionSort(std::vector<Slot>& work, int lo0, int hi0, const SortProgress& onCall) {
    const SlotRows all{work.data(), 0};
    Pending pending{{lo0, hi0}};
    long long calls = 0;
    const auto call = [&] {
        const auto [lo, hi] = pending.back();
        pending.pop_back();
        ++calls;
        if (onCall)
            onCall(calls);
        sortStep(all, lo, hi, pending);
    };
    std::size_t cut = 0;
    if (hi0 - lo0 + 1 >= kRowsWorthASecondCore)
        while (!pending.empty() && (cut = evenCut(pending)) == 0)
            call();
    if (cut == 0) {
        while (!pending.empty())
            call();
        return calls;
    }

    Pending later(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(cut));
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(cut));
    const int shared = later.back().first; // first row of the later part
    const bool overlap = pending.front().second == shared;
    std::vector<Slot> copy;
    SlotRows laterRows = all;
    if (overlap) {
        std::uint32_t largest = 0;
        for (int r = pending.back().first; r <= shared; ++r)
            largest = std::max(largest, work[r].rank);
        copy.assign(work.begin() + shared, work.begin() + hi0 + 1);
        copy.front() = Slot{largest, kUnknownEntry};
        laterRows = SlotRows{copy.data(), shared};
    }
    std::atomic<long long> laterCalls{0};
    long long reported = calls; // calls told to onCall, in order
    const auto report = [&] {
        const long long done = calls + laterCalls.load(std::memory_order_relaxed);
        if (onCall)
            while (reported < done)
                onCall(++reported);
    };
    runOnBothCores(true, [&](int part) {
        if (part == 1) {
            // No progress from here: the callback belongs to the calling thread.
            while (!later.empty()) {
                const auto [lo, hi] = later.back();
                later.pop_back();
                laterCalls.fetch_add(1, std::memory_order_relaxed);
                sortStep(laterRows, lo, hi, later);
            }
            return;
        }
        while (!pending.empty()) {
            const auto [lo, hi] = pending.back();
            pending.pop_back();
            ++calls;
            report();
            sortStep(all, lo, hi, pending);
        }
    });
    calls += laterCalls.exchange(0);
    report();
    if (overlap) {
        const Slot placed = work[shared];
        for (std::size_t i = 0; i < copy.size(); ++i)
            work[shared + static_cast<int>(i)] = copy[i].entry == kUnknownEntry ? placed : copy[i];
    }
    return calls;
}

} // namespace

std::vector<int> sortOrder(const EntryTable& table, int field, const CodePage& codePage,
                           const KeyCollator& collator, const SortProgress& onCall,
                           SortStats* stats, const std::function<void()>& poll) {
    const int count = table.entryCount();
    const std::vector<std::uint32_t> ranks =
        keyRanks(table, field, codePage, collator, nullptr, poll);

    // The steps depend on positions only relative to a range's ends, so where the numbering
    // starts does not change the order.
    auto work = largeVector<Slot>(static_cast<std::size_t>(count));
    for (int r = 0; r < count; ++r)
        work[r] = Slot{ranks[r], static_cast<std::uint32_t>(r)};

    const long long calls = partitionSort(work, 0, count - 1, onCall);
    if (stats)
        stats->calls = calls;

    auto newOrder = largeVector<int>(static_cast<std::size_t>(count));
    for (int r = 0; r < count; ++r)
        newOrder[r] = static_cast<int>(work[r].entry);
    return newOrder;
}

SortStats sortEntries(EntryTable& table, int field, const CodePage& codePage,
                      const KeyCollator& collator, const SortProgress& onCall) {
    SortStats stats;
    table.reorder(0, sortOrder(table, field, codePage, collator, onCall, &stats));
    return stats;
}

} // namespace lexanta
