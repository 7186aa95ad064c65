#pragma once

#include "core/vocab/entry_table.h"

#include <string>
#include <vector>

namespace lexanta {

// Removes entry `index`: later entries move up one (all five fields). Never removes the last
// remaining entry.
void deleteEntry(EntryTable& table, int index);

// Deletes every entry whose question, answer and comment are all empty, keeping one
// entry when all are blank. Returns the number of entries deleted.
int removeBlankLines(EntryTable& table);
// The same as a plan: the order that puts the entries that stay (`kept` of them) first, in
// their order, and the blank ones after them; empty when no entry goes.
std::vector<int> blankLinesLastOrder(const EntryTable& table, int& kept);

// Each line break (CR LF, or a lone LF) becomes one blank.
std::string joinLineBreaks(std::string text);

// Joins line breaks and trims bytes <= 32 from both ends of the question, answer and
// comment of every entry. Does nothing while there is only one entry.
void normalizeCells(EntryTable& table);
// The cells normalizeCells would change, with their new texts.
std::vector<CellChange> normalizedCells(const EntryTable& table);

} // namespace lexanta
