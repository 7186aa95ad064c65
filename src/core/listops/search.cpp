#include "core/listops/search.h"

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

int findEntry(const EntryTable& table, int field, int start, const QString& what,
              const FindOptions& options, const CodePage& codePage) {
    if (what.isEmpty())
        return -1;
    const QString needle = options.matchCase ? what : lowerForLocale(what);
    for (int i = std::max(start, 0); i < table.entryCount(); ++i) {
        QString cell = codePage.decode(table.text(i, field));
        if (!options.matchCase)
            cell = lowerForLocale(cell);
        if (cellMatches(cell, needle, options.wholeWord))
            return i;
    }
    return -1;
}

int SearchState::startEntry(int current) const {
    if (endReached)
        return 0;
    return current == lastFound ? current + 1 : current;
}

SearchOutcome searchNext(SearchState& state, const EntryTable& table, int field, int current,
                         const QString& what, const FindOptions& options,
                         const CodePage& codePage) {
    SearchOutcome outcome;
    outcome.found = findEntry(table, field, state.startEntry(current), what, options, codePage);
    outcome.endOfList = outcome.found < 0 || outcome.found >= table.entryCount() - 1;
    state.endReached = outcome.endOfList;
    state.lastFound = outcome.found >= 0 ? outcome.found : current;
    return outcome;
}

} // namespace lexanta
