#pragma once

#include "core/vocab/entry_table.h"

#include <vector>

namespace lexanta {

// RandomizeEntries: one pass of exchanges, for i from 0 to entryCount()-1 in order, of entry
// i with entry r = next random value % entryCount(); r may equal i, blank entries take part.
// The generator is std::minstd_rand (Park-Miller, x := x * 48271 mod 2^31-1, values
// 1 .. 2^31-2) seeded with `seed`, so one seed gives the same exchanges everywhere. The window
// passes the clock in whole seconds, lexanta-tool --seed N passes N. Whole entries move.
void randomizeEntries(EntryTable& table, unsigned seed);
// The same exchanges as an order for EntryTable::reorder(0, ...) over `entries` entries.
std::vector<int> shuffleOrder(int entries, unsigned seed);

// The text part of SwapQuestionAnswer: exchanges the question and the answer of every
// entry; comments and the extra fields stay. The fonts and layouts are the caller's to exchange.
// No cell is rewritten (EntryTable::moveField), so it takes no memory and no time per entry.
void swapQuestionAnswerCells(EntryTable& table);

} // namespace lexanta
