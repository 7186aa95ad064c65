#include "core/vocab/entry_table.h"

#include "core/vocab/entry_blocks.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>

// Index checks: on in debug builds and under the sanitizers, where a caller's bad entry number
// must stop the program at the call rather than corrupt a neighbour's memory.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
#define LEXANTA_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define LEXANTA_SANITIZED 1
#endif
#if !defined(NDEBUG) || defined(LEXANTA_SANITIZED)
#define LEXANTA_CHECK_INDEX(ok, what, value, limit)                                                \
    do {                                                                                           \
        if (!(ok))                                                                                 \
            indexFailure(__func__, what, static_cast<long long>(value),                            \
                         static_cast<long long>(limit));                                           \
    } while (false)
#else
#define LEXANTA_CHECK_INDEX(ok, what, value, limit)                                                \
    do {                                                                                           \
        (void)sizeof(ok);                                                                          \
    } while (false)
#endif

namespace lexanta {

namespace {

// Runs a change the observer heard begin and gives it the closing notice, also when the change
// fails: a view that follows the notices never waits for an end.
template <typename Change>
void thenEnd(EntryTableObserver* observer, void (EntryTableObserver::*end)(), Change&& change) {
    try {
        change();
    } catch (...) {
        if (observer)
            (observer->*end)();
        throw;
    }
    if (observer)
        (observer->*end)();
}

[[maybe_unused]] [[noreturn]] void indexFailure(const char* function, const char* what,
                                                long long value, long long limit) {
    std::fprintf(stderr, "EntryTable::%s: %s %lld out of range (limit %lld)\n", function, what,
                 value, limit);
    std::abort();
}

} // namespace

void EntryTable::setEntryCount(int count) {
    count = std::max(count, 1);
    const int now = entryCount();
    if (count > now)
        insertEntries(now, count - now);
    else if (count < now)
        removeEntries(count, now - count);
}

void EntryTable::setText(int entry, int field, std::string_view text) {
    ++edits_;
    if (field < 0 || field >= kFieldCount || entry < 0 || entry >= entryCount())
        return;
    store_.writeText(entry, field, text);
    if (observer_)
        observer_->entriesChanged(entry, entry);
}

void EntryTable::texts(int field, int begin, int end, std::string_view* out) const {
    LEXANTA_CHECK_INDEX(field >= 0 && field < kFieldCount, "field", field, kFieldCount);
    LEXANTA_CHECK_INDEX(begin >= 0 && begin <= end, "first entry", begin, end);
    LEXANTA_CHECK_INDEX(end <= entryCount(), "end", end, entryCount());
    store_.texts(field, begin, end, out);
}

EntryView EntryTable::entry(int index) const {
    LEXANTA_CHECK_INDEX(index >= 0 && index < entryCount(), "entry", index, entryCount());
    return store_.entry(index);
}

void EntryTable::setEntry(int index, const Entry& e) {
    EntryView v;
    for (int f = 0; f < kFieldCount; ++f)
        v.fields[f] = e.fields[f];
    setEntry(index, v);
}

void EntryTable::setEntry(int index, const EntryView& e) {
    ++edits_;
    LEXANTA_CHECK_INDEX(index >= 0 && index < entryCount(), "entry", index, entryCount());
    // The texts may be views of this table's own arena, which the write can move.
    Entry copy;
    EntryView safe = e;
    if (std::any_of(e.fields.begin(), e.fields.end(),
                    [this](std::string_view t) { return store_.inArena(t); })) {
        copy = e.toEntry();
        for (int c = 0; c < kFieldCount; ++c)
            safe.fields[c] = copy.fields[c];
    }
    store_.writeEntry(index, safe);
    if (observer_)
        observer_->entriesChanged(index, index);
}

bool EntryTable::isBlank(int index) const {
    LEXANTA_CHECK_INDEX(index >= 0 && index < entryCount(), "entry", index, entryCount());
    if (store_.isEmpty(index))
        return true;
    const EntryView e = store_.entry(index);
    return e[kQuestion].empty() && e[kAnswer].empty() && e[kComment].empty();
}

void EntryTable::moveEntry(int from, int to) {
    ++edits_;
    LEXANTA_CHECK_INDEX(from >= 0 && from < entryCount(), "entry", from, entryCount());
    LEXANTA_CHECK_INDEX(to >= 0 && to < entryCount(), "entry", to, entryCount());
    if (from == to)
        return;
    if (observer_)
        observer_->entryAboutToBeMoved(from, to);
    thenEnd(observer_, &EntryTableObserver::entryMoved, [&] { store_.moveEntry(from, to); });
}

void EntryTable::moveField(int from, int to) {
    ++edits_;
    if (from == to || from < 0 || to < 0 || from >= kFieldCount || to >= kFieldCount)
        return;
    store_.moveField(from, to);
    if (observer_)
        observer_->entriesChanged(0, entryCount() - 1);
}

void EntryTable::insertEntries(int at, int count) {
    ++edits_;
    if (count <= 0)
        return;
    LEXANTA_CHECK_INDEX(count <= kMaxEntries - entryCount(), "entry count", count,
                        kMaxEntries - entryCount());
    count = std::min(count, kMaxEntries - entryCount());
    if (count <= 0)
        return;
    at = std::clamp(at, 0, entryCount());
    if (observer_)
        observer_->entriesAboutToBeInserted(at, count);
    thenEnd(observer_, &EntryTableObserver::entriesInserted,
            [&] { store_.insertEmptyEntries(at, count); });
}

void EntryTable::removeEntries(int at, int count) {
    ++edits_;
    if (at < 0)
        return;
    count = std::min(count, entryCount() - at);
    count = std::min(count, entryCount() - 1); // one entry always remains
    if (count <= 0)
        return;
    if (observer_)
        observer_->entriesAboutToBeRemoved(at, count);
    thenEnd(observer_, &EntryTableObserver::entriesRemoved,
            [&] { store_.removeEntries(at, count); });
}

HeldEntries EntryTable::takeTail(int at) {
    ++edits_;
    at = std::max(at, 1);
    if (at >= entryCount())
        return {};
    if (observer_)
        observer_->entriesAboutToBeRemoved(at, entryCount() - at);
    HeldEntries held;
    thenEnd(observer_, &EntryTableObserver::entriesRemoved, [&] { held = store_.takeTail(at); });
    return held;
}

void EntryTable::appendHeld(const HeldEntries& held) {
    ++edits_;
    if (held.count() == 0)
        return;
    LEXANTA_CHECK_INDEX(held.count() <= kMaxEntries - entryCount(), "entry count", held.count(),
                        kMaxEntries - entryCount());
    if (observer_)
        observer_->entriesAboutToBeInserted(entryCount(), held.count());
    thenEnd(observer_, &EntryTableObserver::entriesInserted, [&] { store_.appendHeld(held); });
}

void EntryTable::reorder(int first, const std::vector<int>& newOrder) {
    ++edits_;
    if (newOrder.empty())
        return;
    const auto n = static_cast<long long>(newOrder.size());
    LEXANTA_CHECK_INDEX(first >= 0 && first + n <= entryCount(), "last entry", first + n - 1,
                        entryCount());
    for (const int from : newOrder)
        LEXANTA_CHECK_INDEX(from >= first && from < first + n, "entry", from, first + n);
    if (observer_)
        observer_->entriesAboutToBeReordered(first, static_cast<int>(newOrder.size()));
    try {
        store_.reorder(first, newOrder);
    } catch (...) {
        // Nothing moved.
        if (observer_) {
            std::vector<int> same(newOrder.size());
            std::iota(same.begin(), same.end(), first);
            observer_->entriesReordered(first, same);
        }
        throw;
    }
    if (observer_)
        observer_->entriesReordered(first, newOrder);
}

void EntryTable::applyChanges(const std::vector<CellChange>& changes) {
    ++edits_;
    if (changes.empty())
        return;
    int first = entryCount(), last = 0;
    for (const CellChange& c : changes) {
        LEXANTA_CHECK_INDEX(c.entry >= 0 && c.entry < entryCount(), "entry", c.entry, entryCount());
        LEXANTA_CHECK_INDEX(c.field >= 0 && c.field < kFieldCount, "field", c.field, kFieldCount);
        store_.writeText(c.entry, c.field, c.text);
        first = std::min(first, c.entry);
        last = std::max(last, c.entry);
    }
    notifyEntriesChanged(first, last);
}

void EntryTable::reset() {
    ++edits_;
    // The first entry is emptied before the others go, so whoever follows the removal sees
    // the new first entry.
    store_.clearEntry(0);
    const int removed = entryCount() - 1;
    if (removed > 0 && observer_)
        observer_->entriesAboutToBeRemoved(1, removed);
    thenEnd(removed > 0 ? observer_ : nullptr, &EntryTableObserver::entriesRemoved,
            [&] { store_.reset(); });
    if (observer_)
        observer_->entriesChanged(0, 0);
}

void EntryTable::swapContents(EntryTable& other) {
    ++edits_;
    if (observer_)
        observer_->tableAboutToBeReplaced();
    if (other.observer_)
        other.observer_->tableAboutToBeReplaced();
    ++other.edits_;
    store_.swap(other.store_);
    if (observer_)
        observer_->tableReplaced();
    if (other.observer_)
        other.observer_->tableReplaced();
}

std::size_t EntryTable::adoptEntryBlocks(std::string&& bytes, std::size_t begin,
                                         const ProgressCallback& progress) {
    begin = std::min(begin, bytes.size());
    const std::size_t blocks = countEntryBlocks(std::string_view(bytes).substr(begin));
    return adoptEntryBlocks(std::move(bytes), begin, blocks, progress);
}

std::size_t EntryTable::adoptEntryBlocks(std::string&& bytes, std::size_t begin, std::size_t blocks,
                                         const ProgressCallback& progress) {
    return adoptEntryBlocks(FileBytes(std::move(bytes)), begin, blocks, progress);
}

std::size_t EntryTable::adoptEntryBlocks(FileBytes&& bytes, std::size_t begin, std::size_t blocks,
                                         const ProgressCallback& progress) {
    ++edits_;
    begin = std::min(begin, bytes.view().size());
    LEXANTA_CHECK_INDEX(blocks <= static_cast<std::size_t>(kMaxEntries), "entry count", blocks,
                        kMaxEntries);
    const std::size_t fitting = std::min<std::size_t>(blocks, kMaxEntries);
    const int before = entryCount();
    const int after = std::max(static_cast<int>(fitting), 1);
    if (observer_ && after > before)
        observer_->entriesAboutToBeInserted(before, after - before);
    if (observer_ && after < before)
        observer_->entriesAboutToBeRemoved(after, before - after);
    thenEnd(after == before ? nullptr : observer_,
            after > before ? &EntryTableObserver::entriesInserted
                           : &EntryTableObserver::entriesRemoved,
            [&] { store_.adoptBlocks(std::move(bytes), begin, fitting, progress); });
    notifyEntriesChanged(0, after - 1);
    return fitting;
}

std::size_t EntryTable::appendEntryBlocks(std::string_view blocks,
                                          const ProgressCallback& progress) {
    ++edits_;
    const std::size_t count = countEntryBlocks(blocks);
    const long long room = kMaxEntries - static_cast<long long>(entryCount());
    LEXANTA_CHECK_INDEX(count <= static_cast<std::size_t>(room), "entry count", count, room);
    const std::size_t fitting = std::min<std::size_t>(count, static_cast<std::size_t>(room));
    if (fitting == 0)
        return 0;
    const int first = entryCount();
    if (observer_)
        observer_->entriesAboutToBeInserted(first, static_cast<int>(fitting));
    thenEnd(observer_, &EntryTableObserver::entriesInserted,
            [&] { store_.appendBlocks(blocks, fitting, progress); });
    notifyEntriesChanged(first, entryCount() - 1);
    return fitting;
}

std::string_view EntryTable::verbatimBlock(int index) const {
    LEXANTA_CHECK_INDEX(index >= 0 && index < entryCount(), "entry", index, entryCount());
    return store_.verbatimBlock(index);
}

std::string_view EntryTable::verbatimRun(int index, int& next) const {
    LEXANTA_CHECK_INDEX(index >= 0 && index < entryCount(), "entry", index, entryCount());
    return store_.verbatimRun(index, next);
}

int EntryTable::firstNotKnownClean(int index) const {
    LEXANTA_CHECK_INDEX(index >= 0 && index <= entryCount(), "entry", index, entryCount());
    return store_.firstNotKnownClean(index);
}

bool EntryTable::knownClean(int index) const {
    LEXANTA_CHECK_INDEX(index >= 0 && index < entryCount(), "entry", index, entryCount());
    return store_.knownClean(index);
}

void EntryTable::notifyEntriesChanged(int first, int last) {
    if (observer_ && first <= last)
        observer_->entriesChanged(first, last);
}

} // namespace lexanta
