#pragma once

#include "editing/entry_table.h"

namespace lexanta {

class CodePage;
class KeyCollator;

// Frequency analysis of the questions: each run of consecutive entry rows whose questions
// compare equal (decoded with `codePage`, compared by `collator` as the sort compares) becomes
// one result row p: question := the question of the run's first row as written there,
// answer := the run length in decimal. Comments and extra fields of the result rows are left
// as they were; the row count becomes runs + 1. Only adjacent equal questions are counted
// together, so sort by questions first for true frequencies. There is no limit on the number
// of runs. Returns the number of runs.
int frequencyAnalysis(EntryTable& table, const CodePage& codePage, const KeyCollator& collator);

} // namespace lexanta
