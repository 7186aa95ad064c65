#pragma once

// Find and replace over the fields of the list (Edit > Replace..., lexanta-tool replace).

#include "core/vocab/entry_table.h"

#include <QRegularExpression>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace lexanta {

class CodePage;

struct ReplaceOptions {
    QString find;
    QString with; // with a regular expression, \1 .. \99 take its captures, \0 the match, \\ a \ .
    std::array<bool, 3> fields{true, true, true}; // question, answer, comment
    bool matchCase = false;
    bool wholeWords = false; // no letter, digit or underscore on either side
    bool regex = false;      // `find` is a regular expression (Perl syntax)
};

// The expression the options search for; not valid (with `error` saying why) for an empty
// text or a regular expression that does not compile.
QRegularExpression replacePattern(const ReplaceOptions& options, QString* error = nullptr);

// Replaces every match in `text`; returns how many there were.
int replaceInText(QString& text, const QRegularExpression& pattern, const ReplaceOptions& options);

struct ReplacePlan {
    std::vector<CellChange> changes;
    int replacements = 0;
    QString error; // a pattern that does not compile
    // The first cell whose code page cannot hold its new text; nothing is replaced then.
    int refusedEntry = -1;
    int refusedField = -1;
    QString refusedCharacters;
    bool ok() const { return error.isEmpty() && refusedEntry < 0; }
};

// Every replacement in entries first..last of the chosen fields, each cell decoded and encoded
// again with its field's page (`pages`); cells without a match keep their bytes.
ReplacePlan planReplace(const EntryTable& table, const ReplaceOptions& options,
                        const std::array<const CodePage*, 3>& pages, int first = 0, int last = -1,
                        const ProgressCallback& progress = {});

// The first cell at or after (entry, field), in entry order then field order, with a match; the
// search goes round to the first entry once. Nothing when there is none.
std::optional<std::pair<int, int>> findReplaceable(const EntryTable& table,
                                                   const ReplaceOptions& options,
                                                   const std::array<const CodePage*, 3>& pages,
                                                   int entry, int field);

} // namespace lexanta
