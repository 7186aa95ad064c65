#pragma once

// File > Special Import: fills empty answers and comments from another vocabulary.

#include "editing/entry_table.h"

#include <string>
#include <string_view>
#include <vector>

namespace lexanta {

struct FillResult {
    int sourceEntries = 0;  // entries read from the source file
    int answersFilled = 0;  // empty answers that received text
    int commentsFilled = 0; // empty comments that received text
    bool sourceOldFormat = false;
};

// The matching key of a question: Latin capitals A-Z become a-z, every other byte
// (Cyrillic letters included) stays as it is. Nothing is trimmed.
std::string foldLatin(std::string_view question);

// Fills the grid from the entries of a vocabulary file (`sourceBytes`): for each row with a
// non-empty question, the first source entry in file order whose question has the same
// foldLatin key gives its answer to the row's empty answer and then its comment to the row's
// empty comment. Nothing else changes: no row is added or removed, no question is touched, and
// the cells are not normalised. A source that begins with the format line has its 32 header
// lines skipped; any other source is an old-format file whose entries follow its first line.
// Lines are taken whole however long, so a long line never puts later entries out of step.
// The source entries are indexed once, so the work grows with rows + source entries. When the
// grid has an observer it is told once about the changed rows. `progress` hears of the work
// done: the source's bytes read, then the grid's rows looked at.
FillResult fillFromVocabulary(EntryTable& grid, std::string_view sourceBytes,
                              const ProgressCallback& progress = {});
// The same without touching the grid: the cells it would fill, with their new texts.
FillResult planFill(const EntryTable& grid, std::string_view sourceBytes,
                    std::vector<CellChange>& changes, const ProgressCallback& progress = {});

} // namespace lexanta
