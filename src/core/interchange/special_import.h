#pragma once

// File > Special Import: fills empty answers and comments from another vocabulary.

#include "core/vocab/entry_table.h"

#include <QString>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace lexanta {

struct FillResult {
    int sourceEntries = 0;  // entries read from the source file
    int answersFilled = 0;  // empty answers that received text
    int commentsFilled = 0; // empty comments that received text
    bool sourceOldFormat = false;
    // Entries left unfilled because their field's code page lacks characters of the source's
    // text (ascending, each once), and those characters.
    std::vector<int> refused;
    QString unheld;
    // The fields' font character sets after the fill (when the table's were given).
    std::array<int, kShownFields> charsets{};
};

// The font character sets of a table's question, answer and comment fields.
using FieldCharsets = std::array<int, kShownFields>;

// The entries left unfilled, for a message; empty when none was.
QString fillRefusals(const FillResult& result);

// The matching key of a question: Latin capitals A-Z become a-z, every other byte
// (Cyrillic letters included) stays as it is. Nothing is trimmed.
std::string foldLatin(std::string_view question);

// Fills the entries of `table` from those of a vocabulary file (`sourceBytes`): for each
// entry with a non-empty question, the first source entry in file order whose question has
// the same foldLatin key gives its answer to the entry's empty answer and then its comment to
// its empty comment. Nothing else changes: no entry is added or removed, no question is
// touched, and the texts are not normalised. A source that begins with the format line has its 32
// header lines skipped; any other source is an old-format file whose entries follow its first line.
// Lines are taken whole however long, so a long line never puts later entries out of step.
// The source entries are indexed once, so the work grows with entries + source entries. When
// the table has an observer it is told once about the changed entries. `progress` hears of the
// work done: the source's bytes read, then the table's entries looked at.
FillResult fillFromVocabulary(EntryTable& table, std::string_view sourceBytes,
                              const ProgressCallback& progress = {});
// The same without touching the table: the fields it would fill, with their new texts.
// Given the table's character sets, a text comes over in the table field's code page: decoded
// with the source field's and encoded with the table's, and left out (in `refused`) when the
// table's page cannot hold it; same pages, or an old-format source, keep the bytes. A field
// empty in every entry first takes the source field's character set, so its texts arrive whole.
FillResult planFill(const EntryTable& table, std::string_view sourceBytes,
                    std::vector<CellChange>& changes, const ProgressCallback& progress = {},
                    const FieldCharsets* charsets = nullptr);

} // namespace lexanta
