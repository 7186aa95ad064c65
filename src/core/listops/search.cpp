#include "core/listops/search.h"

#include "core/listops/byte_search.h"

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

namespace {

bool textMatches(std::string_view text, const QString& needle, const FindOptions& options,
                 const CodePage& codePage, const LocaleLowerCase& lower) {
    QString cell = codePage.decode(text);
    if (!options.matchCase)
        cell = lower(cell);
    return cellMatches(cell, needle, options.wholeWord);
}

// The scan on the bytes of a single-byte page: a cell is decoded only when its folded bytes
// hold the folded needle (for the whole-word test) or when it holds a byte whose lower case
// depends on its neighbours.
int findBytes(const EntryTable& table, int field, int start, const QString& needle,
              const FindOptions& options, const CodePage& codePage, const ByteFold& fold,
              const LocaleLowerCase& lower) {
    std::string classes;
    const bool possible = fold.classesOf(needle, classes);
    if (!possible && !fold.anyContextual())
        return -1;
    const std::string_view wanted = classes;
    std::string folded;
    const int count = table.entryCount();
    for (int i = start; i < count; ++i) {
        const std::string_view text = table.text(i, field);
        if (text.size() < wanted.size() && !fold.anyContextual())
            continue;
        folded.resize(text.size());
        bool contextual = false;
        for (std::size_t k = 0; k < text.size(); ++k) {
            const auto byte = static_cast<std::uint8_t>(text[k]);
            folded[k] = static_cast<char>(fold.unitClass(byte));
            contextual |= fold.contextual(byte);
        }
        if (contextual) {
            if (textMatches(text, needle, options, codePage, lower))
                return i;
            continue;
        }
        if (!possible || std::string_view(folded).find(wanted) == std::string_view::npos)
            continue;
        if (!options.wholeWord || textMatches(text, needle, options, codePage, lower))
            return i;
    }
    return -1;
}

} // namespace

int findEntry(const EntryTable& table, int field, int start, const QString& what,
              const FindOptions& options, const CodePage& codePage) {
    if (what.isEmpty())
        return -1;
    // The locale is read once for the whole scan.
    const LocaleLowerCase lower;
    const QString needle = options.matchCase ? what : lower(what);
    start = std::max(start, 0);
    if (const auto fold = ByteFold::forPage(codePage, options.matchCase))
        return findBytes(table, field, start, needle, options, codePage, *fold, lower);
    for (int i = start; i < table.entryCount(); ++i)
        if (textMatches(table.text(i, field), needle, options, codePage, lower))
            return i;
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
