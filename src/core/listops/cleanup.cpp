#include "core/listops/cleanup.h"

#include "core/vocab/entry_blocks.h"

#include <vector>

namespace lexanta {

void deleteEntry(EntryTable& table, int index) {
    if (table.entryCount() <= 1 || index < 0 || index >= table.entryCount())
        return;
    table.removeEntries(index, 1);
}

std::vector<int> blankLinesLastOrder(const EntryTable& table, int& kept) {
    kept = table.entryCount();
    if (table.entryCount() <= 1)
        return {};
    // One pass that keeps the non-blank entries in order; the same result as deleting the
    // blank ones one by one, without moving every later entry at each deletion.
    std::vector<int> keep;
    keep.reserve(static_cast<std::size_t>(table.entryCount()));
    std::vector<int> blanks;
    for (int i = 0; i < table.entryCount(); ++i)
        (table.isBlank(i) ? blanks : keep).push_back(i);
    if (blanks.empty())
        return {};
    if (keep.empty()) { // all blank: the last blank entry stays, as deleting from the top leaves
        keep.push_back(blanks.back());
        blanks.pop_back();
    }
    kept = static_cast<int>(keep.size());
    keep.insert(keep.end(), blanks.begin(), blanks.end());
    return keep;
}

int removeBlankLines(EntryTable& table) {
    const int count = table.entryCount();
    int kept = count;
    const std::vector<int> order = blankLinesLastOrder(table, kept);
    if (order.empty())
        return 0;
    table.reorder(0, order);
    table.setEntryCount(kept);
    return count - kept;
}

std::string joinLineBreaks(std::string text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out.push_back(' ');
            ++i;
        } else if (text[i] == '\n') {
            out.push_back(' ');
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

namespace {

bool trimmable(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string trimmed(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && trimmable(text[begin]))
        ++begin;
    while (end > begin && trimmable(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

} // namespace

std::vector<CellChange> normalizedCells(const EntryTable& table) {
    std::vector<CellChange> changes;
    if (table.entryCount() <= 1)
        return changes;
    const int count = table.entryCount();
    // Entries read whole are checked once, as they are stored.
    for (int i = table.firstNotKnownClean(0); i < count; i = table.firstNotKnownClean(i + 1)) {
        for (int field : {kQuestion, kAnswer, kComment}) {
            const std::string_view cell = table.text(i, field);
            if (cell.empty())
                continue;
            const bool clean = !trimmable(cell.front()) && !trimmable(cell.back()) &&
                               !findLineFeed(cell.data(), 0, cell.size());
            if (!clean)
                changes.push_back({i, field, trimmed(joinLineBreaks(std::string(cell)))});
        }
    }
    return changes;
}

void normalizeCells(EntryTable& table) {
    table.applyChanges(normalizedCells(table));
}

} // namespace lexanta
