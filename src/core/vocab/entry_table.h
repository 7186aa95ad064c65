#pragma once

#include "core/vocab/entry.h"
#include "core/vocab/entry_store.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lexanta {

// Told about structural changes so that a view can follow them.
class EntryTableObserver {
public:
    virtual ~EntryTableObserver() = default;
    virtual void entriesAboutToBeInserted(int first, int count) = 0;
    virtual void entriesInserted() = 0;
    virtual void entriesAboutToBeRemoved(int first, int count) = 0;
    virtual void entriesRemoved() = 0;
    // The entry at `from` is about to move to `to`; the entries in between shift by one.
    virtual void entryAboutToBeMoved(int from, int to) = 0;
    virtual void entryMoved() = 0;
    // Entries first .. first+count-1 are about to be rearranged; afterwards place first+i
    // holds the entry that was at newOrder[i].
    virtual void entriesAboutToBeReordered(int first, int count) = 0;
    virtual void entriesReordered(int first, const std::vector<int>& newOrder) = 0;
    // Fields of entries first..last (inclusive) may have changed; none was added or removed.
    virtual void entriesChanged(int first, int last) = 0;
    // Everything may have changed, the entry count included (the table was replaced).
    virtual void tableAboutToBeReplaced() = 0;
    virtual void tableReplaced() = 0;
};

// The entries of a vocabulary: entries 0 .. entryCount()-1, five byte-string fields each.
// There is always at least one entry (an empty one in a new vocabulary). The entries are kept
// compactly in an EntryStore; the table checks entry numbers and tells its observer of every
// change.
class EntryTable {
public:
    // Entry numbers are ints, and a grid shows them below a header row: at most this many.
    static constexpr int kMaxEntries = 2147483646;

    EntryTable() = default;
    EntryTable(EntryTable&& other) noexcept : store_(std::move(other.store_)) {}
    EntryTable& operator=(EntryTable&& other) noexcept {
        store_ = std::move(other.store_);
        ++edits_;
        return *this;
    }
    EntryTable(const EntryTable&) = delete;
    EntryTable& operator=(const EntryTable&) = delete;

    // The entries as they stand, sharing this table's memory (no observer). Either table may
    // change afterwards without the other seeing it; the copy may be read on another thread
    // while this one changes.
    EntryTable snapshot() const {
        EntryTable copy;
        copy.store_ = EntryStore(store_);
        return copy;
    }

    int entryCount() const { return store_.count(); }
    // Growing appends empty entries, shrinking drops the last ones. Values below 1 count as 1.
    void setEntryCount(int count);

    // Outside the entries and fields, reads as empty and writes nothing.
    std::string_view text(int entry, int field) const {
        if (field < 0 || field >= kFieldCount || entry < 0 || entry >= entryCount())
            return {};
        return store_.text(entry, field);
    }
    // The texts of `field` of entries begin..end-1, which must exist, into
    // out[0..end-begin-1]: a walk down a column goes faster so than with a text() each.
    void texts(int field, int begin, int end, std::string_view* out) const;
    void setText(int entry, int field, std::string_view text);
    // The text of an existing field as a reference into this table's storage, and a field set
    // back to such a reference, without copying text (for undo steps, which tell the observer
    // themselves).
    TextRef textRef(int entry, int field) { return store_.textRef(entry, field); }
    void setTextRef(int entry, int field, TextRef ref) {
        ++edits_;
        store_.setTextRef(entry, field, ref);
    }

    EntryView entry(int index) const;
    void setEntry(int index, const Entry& e);
    void setEntry(int index, const EntryView& e);
    bool isBlank(int index) const; // question, answer and comment all empty

    // Moves the entry at `from` to `to`; the entries in between shift by one.
    void moveEntry(int from, int to);
    // Moves field `from` to position `to` in every entry; the fields in between shift by one.
    // Used when a grid column is dragged: its data takes the new role.
    void moveField(int from, int to);
    // Inserts `count` empty entries before entry `at` (at entryCount(): after the last).
    void insertEntries(int at, int count);
    void removeEntries(int at, int count);
    // Removes the entries from `at` on (at >= 1) and hands them over as they are held in the
    // store; appendHeld puts them back after the last entry. Only for this table's own entries.
    HeldEntries takeTail(int at);
    void appendHeld(const HeldEntries& held);
    // Rearranges entries first .. first+newOrder.size()-1: place first+i receives the entry
    // that was at newOrder[i] (an absolute entry number inside that range).
    void reorder(int first, const std::vector<int>& newOrder);
    // Writes each change (entries and fields must exist); one notice for all of them.
    void applyChanges(const std::vector<CellChange>& changes);
    // Leaves one empty entry; the storage is released.
    void reset();
    // Exchanges the whole contents (not the observers) with `other`; the observer hears of
    // it as a replacement.
    void swapContents(EntryTable& other);

    // Replaces every entry with the entry blocks (entry_blocks.h) of `bytes` from offset
    // `begin` on, keeping the bytes as the table's buffer (entries 0 .. blocks-1; at least one
    // entry). The caller has checked that the blocks fit (countEntryBlocks <= kMaxEntries).
    // Returns the number of blocks. `progress` hears of the bytes gone through, of all the
    // blocks' bytes.
    std::size_t adoptEntryBlocks(std::string&& bytes, std::size_t begin,
                                 const ProgressCallback& progress = {});
    // The same when the caller has counted them already.
    std::size_t adoptEntryBlocks(std::string&& bytes, std::size_t begin, std::size_t blocks,
                                 const ProgressCallback& progress = {});
    // The same for bytes held elsewhere (a mapped file), shared with their owner.
    std::size_t adoptEntryBlocks(FileBytes&& bytes, std::size_t begin, std::size_t blocks,
                                 const ProgressCallback& progress = {});
    // Appends the blocks after the last entry, their bytes copied once into the arena. The
    // caller has checked that they fit. Returns the number of blocks.
    std::size_t appendEntryBlocks(std::string_view blocks, const ProgressCallback& progress = {});
    // The bytes of entry `index`'s block, line ends included, when they are exactly what a
    // writer of the block would produce (every line ended by CR LF, both extra fields
    // non-empty) and the fields are in their stored places; else empty. Blocks that follow
    // one another in the buffer come back as adjacent views.
    std::string_view verbatimBlock(int index) const;
    // The blocks of entries `index` on that verbatimBlock would give, as long as each follows
    // the one before in the buffer, as one view; `next` is the entry after them (`index` when
    // the view is empty).
    std::string_view verbatimRun(int index, int& next) const;
    // True when the question, answer and comment of entry `index` are known to hold no line
    // break and to begin and end with a byte above the blank (or to be empty), as entries read
    // or written whole are checked once; false when not known.
    bool knownClean(int index) const;
    // The first entry from `index` on that is not known clean; entryCount() when none is.
    int firstNotKnownClean(int index) const;
    // About how many bytes the entries take when written (an estimate for reserving).
    std::size_t byteSizeHint() const { return store_.byteSizeHint(); }
    // A hint that entry `index` is read soon: its bytes are fetched into the cache meanwhile.
    void prefetchEntry(int index) const {
        if (index >= 0 && index < entryCount())
            store_.prefetchEntry(index);
    }

    // Counts the changes made through this table: equal counts, no change in between.
    std::uint64_t edits() const { return edits_; }

    void setObserver(EntryTableObserver* observer) { observer_ = observer; }
    EntryTableObserver* observer() const { return observer_; }
    // Tell the observer that entries first..last changed (for algorithms that batch writes).
    void notifyEntriesChanged(int first, int last);

private:
    EntryStore store_;
    EntryTableObserver* observer_ = nullptr;
    std::uint64_t edits_ = 0;
};

// Holds back a table's per-cell change notices while a whole-list operation rewrites many
// cells; the operation tells the observer once afterwards (notifyEntriesChanged).
class BatchWrites {
public:
    explicit BatchWrites(EntryTable& table) : table_(table), observer_(table.observer()) {
        table_.setObserver(nullptr);
    }
    ~BatchWrites() { table_.setObserver(observer_); }
    BatchWrites(const BatchWrites&) = delete;
    BatchWrites& operator=(const BatchWrites&) = delete;

private:
    EntryTable& table_;
    EntryTableObserver* observer_;
};

} // namespace lexanta
