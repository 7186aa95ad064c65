#pragma once

#include "editing/entry_table.h"

#include <string>
#include <vector>

namespace lexanta {

// Removes entry row `row`: later rows move up one (all five fields), the row count drops
// by one. Never removes the last remaining entry row.
void deleteEntryRow(EntryTable& table, int row);

// Deletes every entry whose question, answer and comment are all empty, keeping one
// entry row when all are blank. Returns the number of rows deleted.
int removeBlankLines(EntryTable& table);

// Each line break (CR LF, or a lone LF) becomes one blank.
std::string joinLineBreaks(std::string text);

// Joins line breaks and trims bytes <= 32 from both ends of the question, answer and
// comment of every entry row. Does nothing while there is only one entry row.
void normalizeCells(EntryTable& table);
// The cells normalizeCells would change, with their new texts.
std::vector<CellChange> normalizedCells(const EntryTable& table);

} // namespace lexanta
