#pragma once

// From rows of Unicode cells to entries: which column feeds the question, the answer and the
// comment, and each field's character set, whose code page the cells are encoded in. Nothing
// is replaced silently: a character a field's page lacks stops the import, or leaves its row
// out when the user chose so, and is listed either way.

#include "core/interchange/sheet.h"
#include "core/vocab/entry_table.h"
#include "platform/charset_coverage.h"

#include <QString>

#include <array>
#include <vector>

namespace lexanta {

// The source column of the question, answer and comment, from 0; -1 for none.
using ColumnChoice = std::array<int, 3>;

struct MappingChoices {
    ColumnChoice columns{0, 1, 2};
    bool skipFirstRow = false;       // the header row
    std::array<int, 3> charsets{};   // the fields' character sets
    bool leaveOutUnheldRows = false; // rows with characters their field cannot hold
};

// Characters of one cell that its field's code page lacks.
struct UnheldCharacters {
    int row = 0;   // row of the sheet
    int field = 0; // kQuestion, kAnswer or kComment
    int column = 0;
    int codePage = 0;
    QString characters; // each once
};

struct MappedList {
    EntryTable entries; // at least one entry: a sheet without rows gives one empty entry
    int entryCount = 0; // entries made from rows
    ImportNotes notes;
    // The first kMaxListedUnheld cells, in order; unheldCount counts them all.
    std::vector<UnheldCharacters> unheld;
    long long unheldCount = 0;
    QString error; // why nothing was made at all (too many rows)
    bool ok() const { return error.isEmpty() && (unheldCount == 0 || notes.rowsLeftOut > 0); }
};

inline constexpr int kMaxListedUnheld = 1000;

// The columns the file suggests, none past its last column.
ColumnChoice defaultColumns(const ReadList& list);

// The rows as entries. Line breaks inside a cell become one blank each (counted in the notes);
// the extra fields stay empty.
MappedList mapToEntries(const Sheet& sheet, const MappingChoices& choices,
                        const ProgressCallback& progress = {});

// What character sets could hold each field's text, over the rows `mapToEntries` would take.
std::array<CharsetCoverage, 3> fieldCoverage(const Sheet& sheet, const ColumnChoice& columns,
                                             bool skipFirstRow);

// Each field's set for `--charsets auto`: the current one when its page holds the field's
// text, else the system's, else the first that does. False, with `unheld` naming the row and
// characters, when no set holds a field's text.
bool chooseCharsets(const Sheet& sheet, const MappingChoices& choices, std::array<int, 3>& charsets,
                    QString& unheld);

// "Line 3, answer (code page 1252): "ж" (U+0436 CYRILLIC SMALL LETTER ZHE)" for each listed cell,
// one a line, at most `maxListed`, then "... and N more".
QString describeUnheld(const MappedList& mapped, const Sheet& sheet, int maxListed = 10);

// "12 entries imported; 3 cells had line breaks, now blanks; ..." for the import report.
QString describeImport(int entries, const ImportNotes& notes);

} // namespace lexanta
