#include "listops/sorting.h"

#include "platform/codepage.h"
#include "platform/collation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>
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

// Dense ranks of the keys of rows 1 .. rowCount()-1: rank order is the collator's order, and
// keys that compare equal get the same rank. Each distinct cell is decoded and keyed once.
std::vector<std::uint32_t> keyRanks(const EntryTable& table, int column, const CodePage& codePage,
                                    const KeyCollator& collator) {
    const int rows = table.rowCount();
    std::vector<std::uint32_t> distinctOfRow(rows, 0);
    std::vector<std::string_view> distinct;
    {
        std::unordered_map<std::string_view, std::uint32_t> seen;
        seen.reserve(static_cast<std::size_t>(rows));
        for (int r = 1; r < rows; ++r) {
            const std::string& text = table.cell(column, r);
            const auto [it, added] =
                seen.try_emplace(text, static_cast<std::uint32_t>(distinct.size()));
            if (added)
                distinct.push_back(text);
            distinctOfRow[r] = it->second;
        }
    }

    std::vector<std::string> keys(distinct.size());
    for (std::size_t d = 0; d < distinct.size(); ++d)
        keys[d] = collator.sortKey(codePage.decode(distinct[d].data(), distinct[d].size()));

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

SortStats sortEntries(EntryTable& table, int column, const CodePage& codePage,
                      const KeyCollator& collator, const SortProgress& onCall) {
    const int rows = table.rowCount();
    const std::vector<std::uint32_t> ranks = keyRanks(table, column, codePage, collator);

    std::vector<Slot> work(rows);
    for (int r = 1; r < rows; ++r)
        work[r] = Slot{ranks[r], static_cast<std::uint32_t>(r)};

    SortStats stats;
    stats.calls = quickSorting(work, 1, rows - 1, onCall);

    std::vector<int> newOrder(rows - 1);
    for (int r = 1; r < rows; ++r)
        newOrder[r - 1] = static_cast<int>(work[r].row);
    table.permute(1, newOrder);
    return stats;
}

} // namespace lexanta
