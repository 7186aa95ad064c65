#pragma once

#include "core/vocab/entry_table.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lexanta {

class CodePage;
class KeyCollator;

struct SortStats {
    long long calls = 0; // calls of the partition step, including those handed to insertion
};

// Called once per partition-step call with the number of calls so far; the window steps
// ProgressBar1 from it. It may throw to stop the sort, which then has changed nothing.
using SortProgress = std::function<void(long long calls)>;

// Sorts the entries by `field` (kQuestion, kAnswer or kComment) into ascending order of the
// field's text decoded with `codePage`, compared by `collator` (case
// ignored, empty text first). Whole entries move.
//
// The order, including that of entries whose keys compare equal, is exactly the one of the
// editor's partition sort (ranges of at most 13 rows go to an insertion sort):
// ranges of up to 13 rows keep the order of equal keys, larger ones need not. The steps run
// over precomputed key ranks and entry numbers with an explicit stack (left range before right,
// as the recursion did), and the table is rearranged once at the end, so lists of millions of
// entries neither overflow the stack nor copy strings.
// The same order without touching the table: element i is the entry that goes to place i
// (what EntryTable::reorder(0, ...) takes). `poll` is called now and then while the keys are
// made, before the first partition step, and may throw to stop the sort.
std::vector<int> sortOrder(const EntryTable& table, int field, const CodePage& codePage,
                           const KeyCollator& collator, const SortProgress& onCall = {},
                           SortStats* stats = nullptr, const std::function<void()>& poll = {});
// Dense ranks of the collation keys of `field`'s texts, one per entry: rank order is the
// collator's order, and texts whose keys are equal get the same rank. `keysOfRanks`, when
// given, receives the key of each rank. `poll` is called now and then on the calling thread
// and may throw to stop the work.
std::vector<std::uint32_t> keyRanks(const EntryTable& table, int field, const CodePage& codePage,
                                    const KeyCollator& collator,
                                    std::vector<std::string>* keysOfRanks = nullptr,
                                    const std::function<void()>& poll = {});

SortStats sortEntries(EntryTable& table, int field, const CodePage& codePage,
                      const KeyCollator& collator, const SortProgress& onCall = {});

} // namespace lexanta
