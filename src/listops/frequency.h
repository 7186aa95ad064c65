#pragma once

#include "editing/entry_table.h"

#include <string>
#include <vector>

namespace lexanta {

class CodePage;
class KeyCollator;

// One run of consecutive entry rows whose questions compare equal.
struct FrequencyRun {
    std::string text; // the question of the run's first row, as written there
    int length = 0;
};

// The runs of the questions of rows 1 .. rowCount()-1, in order (decoded with `codePage`,
// compared by the sort keys of `collator`, as the sort orders). Only adjacent equal questions
// are counted together, so sort by questions first for true frequencies. There is no limit on
// the number of runs. Long lists are gone through on both cores; `progress` hears of the rows
// done, of all entry rows.
std::vector<FrequencyRun> frequencyRuns(const EntryTable& table, const CodePage& codePage,
                                        const KeyCollator& collator,
                                        const ProgressCallback& progress = {});

// The result rows of the analysis: row p holds run p, question := its text, answer := its
// length in decimal. Comments and extra fields of the result rows are left as they were.
std::vector<CellChange> frequencyChanges(const std::vector<FrequencyRun>& runs);

// Frequency analysis in place: writes what frequencyChanges would and sets the row count to
// runs + 1 (the run texts are not copied). Returns the number of runs.
int frequencyAnalysis(EntryTable& table, const CodePage& codePage, const KeyCollator& collator,
                      const ProgressCallback& progress = {});

} // namespace lexanta
