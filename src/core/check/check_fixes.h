#pragma once

// The fixes of the list check: what each finding offers where a fix is clear, and the change
// of the list each makes, planned before anything is changed.

#include "core/check/check_types.h"
#include "core/vocab/vocabulary.h"

#include <optional>
#include <vector>

namespace lexanta {

class ListCheck;

// A change of the list as one step: cells rewritten, then entries removed, then the header.
struct ListEdit {
    std::vector<CellChange> cells;
    std::vector<int> removals; // entry numbers, ascending, as they are before the change
    std::optional<VocabularyHeader> header;
    bool isEmpty() const { return cells.empty() && removals.empty() && !header; }
};

enum class FixKind {
    Suggestion, // `text`: the spelling to take
    Tidy,       // trim the blanks, join doubled ones, blank out control characters
    RemoveEntry,
    Join,      // the entry's group becomes its first entry, answers and comments joined by "; "
    SetCharset // `charset`: the font's new character set
};

struct Fix {
    FixKind kind;
    QString text;
    int charset = -1;
};

// The fixes a finding offers, the one "fix all" takes first; none when no fix is clear.
// Spelling suggestions are asked of the dictionary (tens of milliseconds a word).
std::vector<Fix> fixesFor(const Finding& finding, const ListCheck& check);

// The change one fix makes; empty when it no longer applies (the cell changed since the check,
// or its code page cannot hold the suggestion).
ListEdit planFix(const Vocabulary& vocabulary, const ListCheck& check, const Finding& finding,
                 const Fix& fix);

// The first fix of every finding of `kind` that has one, as one change. `progress` hears of
// the findings done.
ListEdit planFixAll(const Vocabulary& vocabulary, const ListCheck& check, CheckKind kind,
                    const ProgressCallback& progress = {});

} // namespace lexanta
