#pragma once

#include "core/vocab/entry_table.h"

#include <string>
#include <vector>

namespace lexanta {

class CodePage;
class KeyCollator;

// One run of consecutive entries whose questions compare equal.
struct FrequencyRun {
    std::string text; // the question of the run's first entry, as written there
    int length = 0;
};

// The runs of the questions of all entries, in order (decoded with `codePage`,
// compared by the sort keys of `collator`, as the sort orders). Only adjacent equal questions
// are counted together, so sort by questions first for true frequencies. There is no limit on
// the number of runs. Long lists are gone through on both cores; `progress` hears of the
// entries done, of all entries.
std::vector<FrequencyRun> frequencyRuns(const EntryTable& table, const CodePage& codePage,
                                        const KeyCollator& collator,
                                        const ProgressCallback& progress = {});

// The result of the analysis: entry p holds run p, question := its text, answer := its
// length in decimal. Comments and extra fields of the result entries are left as they were.
std::vector<CellChange> frequencyChanges(const std::vector<FrequencyRun>& runs);

// A run as found: its first entry and its length.
struct FrequencySpan {
    int first = 0;
    int length = 0;
};

// The runs as frequencyRuns finds them, without their texts.
std::vector<FrequencySpan> frequencySpans(const EntryTable& table, const CodePage& codePage,
                                          const KeyCollator& collator,
                                          const ProgressCallback& progress = {});

// Writes the result of `spans` (found on this table as it is) into entries 0 .. spans-1, as
// frequencyChanges would; the entries after them stay.
void writeFrequencyResult(EntryTable& table, const std::vector<FrequencySpan>& spans);

// Frequency analysis in place: writes what frequencyChanges would and keeps one entry per
// run (the run texts are not copied). Returns the number of runs.
int frequencyAnalysis(EntryTable& table, const CodePage& codePage, const KeyCollator& collator,
                      const ProgressCallback& progress = {});

} // namespace lexanta
