#pragma once

#include "editing/entry_table.h"

#include <vector>

namespace lexanta {

// RandomizeEntries: one pass of exchanges, for i from 1 to rowCount()-1 in order, of row i
// with row r = 1 + (next random value % (rowCount()-1)); r may equal i, blank rows take part.
// The generator is std::minstd_rand (Park-Miller, x := x * 48271 mod 2^31-1, values
// 1 .. 2^31-2) seeded with `seed`, so one seed gives the same exchanges everywhere. The window
// passes the clock in whole seconds, lexanta-tool --seed N passes N. Whole entries move.
void randomizeEntries(EntryTable& table, unsigned seed);
// The same exchanges as an order for EntryTable::permute(1, ...) over `entries` rows.
std::vector<int> shuffleOrder(int entries, unsigned seed);

// The cell part of SwapQuestionAnswer: exchanges the question and the answer of every entry
// row; comments and the extra fields stay. The fonts and layouts are the caller's to exchange.
void swapQuestionAnswerCells(EntryTable& table);

} // namespace lexanta
