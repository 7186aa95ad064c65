#include "listops/sorting.h"

#include "platform/codepage.h"
#include "platform/collation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lexanta {

namespace {

// One row as the sort sees it: the rank of its key and the row it came from.
struct Slot {
    std::uint32_t rank;
    std::uint32_t row;
};

bool keyLess(const std::string& a, const std::string& b) {
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    return c < 0 || (c == 0 && a.size() < b.size());
}

// The distinct texts of a column, each numbered by first appearance. An open-addressing table
// of (hash, number) pairs over one byte arena: a lookup costs about one cache miss, which
// dominates on lists of a million rows.
class DistinctTexts {
public:
    explicit DistinctTexts(std::size_t expected) {
        std::size_t capacity = 1024;
        while (capacity < expected)
            capacity *= 2;
        slots_.assign(capacity, 0);
    }

    std::uint32_t number(std::string_view text) {
        const std::uint64_t hash = std::hash<std::string_view>{}(text);
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
    void grow() {
        slots_.assign(slots_.size() * 2, 0);
        for (std::uint32_t n = 0; n + 1 < starts_.size(); ++n) {
            const std::uint64_t hash = std::hash<std::string_view>{}(text(n));
            insert(hash >> 32, hash & (slots_.size() - 1), n);
        }
    }

    std::vector<std::uint64_t> slots_; // 0 empty, else hash tag << 32 | (number + 1)
    std::string arena_;
    std::vector<std::size_t> starts_;
};

// Dense ranks of the keys of rows 1 .. rowCount()-1: rank order is the collator's order, and
// keys that compare equal get the same rank. Each distinct cell is decoded and keyed once.
std::vector<std::uint32_t> keyRanks(const EntryTable& table, int column, const CodePage& codePage,
                                    const KeyCollator& collator) {
    const int rows = table.rowCount();
    std::vector<std::uint32_t> distinctOfRow(rows, 0);
    DistinctTexts distinct(4096);
    for (int r = 1; r < rows; ++r)
        distinctOfRow[r] = distinct.number(table.cell(column, r));

    std::vector<std::string> keys(distinct.size());
    for (std::uint32_t d = 0; d < keys.size(); ++d) {
        const std::string_view text = distinct.text(d);
        keys[d] = collator.sortKey(codePage.decode(text.data(), text.size()));
    }

    std::vector<std::uint32_t> byKey(distinct.size());
    for (std::size_t d = 0; d < byKey.size(); ++d)
        byKey[d] = static_cast<std::uint32_t>(d);
    std::sort(byKey.begin(), byKey.end(),
              [&keys](std::uint32_t a, std::uint32_t b) { return keyLess(keys[a], keys[b]); });

    std::vector<std::uint32_t> rankOfDistinct(distinct.size());
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < byKey.size(); ++i) {
        if (i > 0 && keys[byKey[i - 1]] != keys[byKey[i]])
            ++rank;
        rankOfDistinct[byKey[i]] = rank;
    }

    std::vector<std::uint32_t> ranks(rows, 0);
    for (int r = 1; r < rows; ++r)
        ranks[r] = rankOfDistinct[distinctOfRow[r]];
    return ranks;
}

// insertSort: stable insertion over rows lo..hi.
void insertSort(std::vector<Slot>& a, int lo, int hi) {
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

// quick_sorting over rows lo..hi. The recursion becomes a stack of pending ranges: the right
// range is pushed below the left one, so the left range and everything it spawns finish first,
// as in the recursive form. That matters because both ranges contain row k when j == k.
long long quickSorting(std::vector<Slot>& a, int lo0, int hi0, const SortProgress& onCall) {
    long long calls = 0;
    std::vector<std::pair<int, int>> pending{{lo0, hi0}};
    while (!pending.empty()) {
        const auto [lo, hi] = pending.back();
        pending.pop_back();
        ++calls;
        if (onCall)
            onCall(calls);
        if (hi - lo <= 12) {
            insertSort(a, lo, hi);
            continue;
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
    return calls;
}

} // namespace

std::vector<int> sortOrder(const EntryTable& table, int column, const CodePage& codePage,
                           const KeyCollator& collator, const SortProgress& onCall,
                           SortStats* stats) {
    const int rows = table.rowCount();
    const std::vector<std::uint32_t> ranks = keyRanks(table, column, codePage, collator);

    std::vector<Slot> work(rows);
    for (int r = 1; r < rows; ++r)
        work[r] = Slot{ranks[r], static_cast<std::uint32_t>(r)};

    const long long calls = quickSorting(work, 1, rows - 1, onCall);
    if (stats)
        stats->calls = calls;

    std::vector<int> newOrder(rows - 1);
    for (int r = 1; r < rows; ++r)
        newOrder[r - 1] = static_cast<int>(work[r].row);
    return newOrder;
}

SortStats sortEntries(EntryTable& table, int column, const CodePage& codePage,
                      const KeyCollator& collator, const SortProgress& onCall) {
    SortStats stats;
    table.permute(1, sortOrder(table, column, codePage, collator, onCall, &stats));
    return stats;
}

} // namespace lexanta
