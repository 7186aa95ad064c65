#include "listops/search.h"

#include "platform/codepage.h"
#include "platform/collation.h"

#include <algorithm>

namespace lexanta {

bool isWordSeparator(char32_t code) {
    return code == 0 || (code >= 32 && code <= 64) || (code >= 91 && code <= 96) ||
           (code >= 123 && code <= 126);
}

bool cellMatches(const QString& cell, const QString& what, bool wholeWord) {
    if (what.isEmpty())
        return false;
    if (!wholeWord)
        return cell.contains(what);
    // Separators are ASCII, so looking at the neighbouring UTF-16 unit is enough: a surrogate
    // is above 127 and never separates.
    for (qsizetype p = cell.indexOf(what); p >= 0; p = cell.indexOf(what, p + 1)) {
        const qsizetype end = p + what.size();
        const char32_t after = end < cell.size() ? cell.at(end).unicode() : 0;
        if (!isWordSeparator(after))
            continue;
        if (p == 0 || isWordSeparator(cell.at(p - 1).unicode()))
            return true;
    }
    return false;
}

int findRow(const EntryTable& table, int column, int startRow, const QString& what,
            const FindOptions& options, const CodePage& codePage) {
    if (what.isEmpty())
        return -1;
    const QString needle = options.matchCase ? what : lowerForLocale(what);
    for (int row = std::max(startRow, 1); row < table.rowCount(); ++row) {
        QString cell = codePage.decode(table.cell(column, row));
        if (!options.matchCase)
            cell = lowerForLocale(cell);
        if (cellMatches(cell, needle, options.wholeWord))
            return row;
    }
    return -1;
}

int SearchState::startRow(int currentRow) const {
    if (endReached)
        return 1;
    return currentRow == lastFoundRow ? currentRow + 1 : currentRow;
}

SearchOutcome searchNext(SearchState& state, const EntryTable& table, int column, int currentRow,
                         const QString& what, const FindOptions& options,
                         const CodePage& codePage) {
    SearchOutcome outcome;
    outcome.foundRow = findRow(table, column, state.startRow(currentRow), what, options, codePage);
    outcome.endOfList = outcome.foundRow < 0 || outcome.foundRow >= table.rowCount() - 1;
    state.endReached = outcome.endOfList;
    state.lastFoundRow = outcome.foundRow >= 0 ? outcome.foundRow : currentRow;
    return outcome;
}

} // namespace lexanta
