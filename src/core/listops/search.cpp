#include "core/listops/search.h"

#include "core/listops/byte_search.h"
#include "platform/both_cores.h"

#include "platform/codepage.h"
#include "platform/collation.h"

#include <algorithm>
#include <atomic>

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
// Entries start .. end-1; gives up (-1) once `stop` is set, looked at every few thousand entries.
int findBytes(const EntryTable& table, int field, int start, int end, const QString& needle,
              const FindOptions& options, const CodePage& codePage, const ByteFold& fold,
              const LocaleLowerCase& lower, const std::atomic<bool>* stop) {
    std::string classes;
    const bool possible = fold.classesOf(needle, classes);
    if (!possible && !fold.anyContextual())
        return -1;
    const std::string_view wanted = classes;
    std::string folded;
    constexpr int kAhead = 16; // entries lie anywhere in memory after a sort
    for (int i = start; i < end; ++i) {
        if (stop && (i & 4095) == 0 && stop->load(std::memory_order_relaxed))
            return -1;
        table.prefetchEntry(i + kAhead);
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
    if (const auto fold = ByteFold::forPage(codePage, options.matchCase)) {
        // Long scans are split in two halves, one per core; a match in the first half ends
        // the second.
        const int count = table.entryCount();
        const bool split = count - start >= kRowsWorthASecondCore;
        const int middle = split ? start + (count - start) / 2 : count;
        int found[2] = {-1, -1};
        std::atomic<bool> firstFound{false};
        runOnBothCores(split, [&](int part) {
            if (part == 0) {
                found[0] = findBytes(table, field, start, middle, needle, options, codePage, *fold,
                                     lower, nullptr);
                firstFound.store(found[0] >= 0, std::memory_order_relaxed);
            } else if (split && !firstFound.load(std::memory_order_relaxed)) {
                const CodePage own(codePage.number());
                found[1] = findBytes(table, field, middle, count, needle, options, own, *fold,
                                     lower, &firstFound);
            }
        });
        return found[0] >= 0 ? found[0] : found[1];
    }
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
