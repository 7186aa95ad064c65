#pragma once

#include "core/vocab/entry_table.h"

#include <QString>

namespace lexanta {

class CodePage;

struct FindOptions {
    bool matchCase = false; // frMatchCase
    bool wholeWord = true;  // frWholeWord
};

// Word separators of the whole-word test, by character code: 0 (the end of the text),
// 32..64, 91..96 and 123..126. Nothing else, in particular not the tab and nothing above 127.
bool isWordSeparator(char32_t code);

// Whether `what` occurs in `cell` (both already case-folded by the caller if wanted). With
// wholeWord, some occurrence must have a separator (or the text's edge) on both sides; every
// occurrence is examined, so "cat" is found in "concat cat". An empty `what` never matches.
bool cellMatches(const QString& cell, const QString& what, bool wholeWord);

// The scan of SearchNext: the first entry >= start whose text in `field`, decoded with
// `codePage`, contains `what`; without matchCase both sides are lower-cased for the locale
// first. -1 when there is none.
int findEntry(const EntryTable& table, int field, int start, const QString& what,
              const FindOptions& options, const CodePage& codePage);

// What SearchNext keeps between searches (LastFoundRow, EndReached); lives as long as the window.
struct SearchState {
    int lastFound = -1; // the entry the last search selected
    bool endReached = false;

    // Start entry for a search from the grid's current entry: the entry itself, the one below
    // it when the last search selected it, or the first after the end of the list was reported.
    int startEntry(int current) const;
};

struct SearchOutcome {
    int found = -1;         // the entry to select, -1 when nothing matched
    bool endOfList = false; // show "End of vocabulary reached!" (before selecting `found`)
};

// One SearchNext from entry `current`: computes the start, scans, and updates `state` on the
// assumption that the caller then selects `found` (if any): EndReached is set when nothing
// matched or the match is the last entry, and LastFoundRow becomes the entry that is current
// afterwards.
SearchOutcome searchNext(SearchState& state, const EntryTable& table, int field, int current,
                         const QString& what, const FindOptions& options, const CodePage& codePage);

} // namespace lexanta
