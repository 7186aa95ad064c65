#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lexanta {

// The stored fields of an entry, in the order the grid shows them.
enum Field : int { kQuestion = 0, kAnswer = 1, kComment = 2, kExtra1 = 3, kExtra2 = 4 };
inline constexpr int kFieldCount = 5;

// The five stored fields of one entry, as the bytes of the file (no conversion).
struct Entry {
    std::array<std::string, kFieldCount> fields;

    std::string& operator[](int field) { return fields[field]; }
    const std::string& operator[](int field) const { return fields[field]; }
    bool operator==(const Entry&) const = default;
};

// The five fields of a stored entry, viewed where the table keeps them. Valid until the table
// is next changed.
struct EntryView {
    std::array<std::string_view, kFieldCount> fields;

    std::string_view operator[](int field) const { return fields[field]; }
    bool operator==(const EntryView&) const = default;
    bool operator==(const Entry& e) const {
        for (int f = 0; f < kFieldCount; ++f)
            if (fields[f] != e.fields[f])
                return false;
        return true;
    }
    Entry toEntry() const {
        Entry e;
        for (int f = 0; f < kFieldCount; ++f)
            e.fields[f] = std::string(fields[f]);
        return e;
    }
};

// One cell's new text, as the list operations plan their changes before making them.
struct CellChange {
    int entry = 0;
    int field = 0;
    std::string text;
};

// Told how far a long operation has come: `done` of `total` units (bytes, lines or rows, as
// the operation says). Called now and then from the thread that runs the operation, so a
// window may repaint or step a progress bar from it; the table being worked on must not be
// touched from it.
using ProgressCallback = std::function<void(long long done, long long total)>;

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
// There is always at least one entry (an empty one in a new vocabulary).
//
// Storage is compact. A loaded file's bytes stay one buffer, and an entry read from it is
// the offset of its block there (8 bytes per entry, no copy of a field); a field is found by
// scanning the block's few short lines. Text written later (edits, imports, merged files) is
// appended to a side arena that only grows: an edited entry holds five offset-and-length
// references, each into the file or the arena, so its unchanged fields are not copied. An
// empty entry costs nothing beyond its number. Entries are slots of 8-byte records; once an
// entry is inserted, deleted or moved in the middle, entries become indices into the slots,
// so that moving, inserting and deleting entries moves 4-byte indices, not text. A sort or
// shuffle puts the records themselves into entry order again.
class EntryTable {
public:
    // Entry numbers are ints, and a grid shows them below a header row: at most this many.
    static constexpr int kMaxEntries = 2147483646;

    EntryTable();
    ~EntryTable();
    EntryTable(EntryTable&& other) noexcept;
    EntryTable& operator=(EntryTable&& other) noexcept;
    EntryTable(const EntryTable&) = delete;
    EntryTable& operator=(const EntryTable&) = delete;

    int entryCount() const { return count_; }
    // Growing appends empty entries, shrinking drops the last ones. Values below 1 count as 1.
    void setEntryCount(int count);

    // Outside the entries and fields, reads as empty and writes nothing.
    std::string_view text(int entry, int field) const;
    void setText(int entry, int field, std::string_view text);

    EntryView entry(int index) const;
    void setEntry(int index, const Entry& e);
    void setEntry(int index, const EntryView& e);
    void clearEntry(int index);
    bool isBlank(int index) const; // question, answer and comment all empty

    void exchangeEntries(int a, int b);
    // Moves the entry at `from` to `to`; the entries in between shift by one.
    void moveEntry(int from, int to);
    // Moves field `from` to position `to` in every entry; the fields in between shift by one.
    // Used when a grid column is dragged: its data takes the new role.
    void moveField(int from, int to);
    // Inserts `count` empty entries before entry `at` (at entryCount(): after the last).
    void insertEntries(int at, int count);
    void removeEntries(int at, int count);
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

    // Entry blocks as a vocabulary file holds them: five lines per entry (question, comment,
    // answer, extra field 1, extra field 2), each ended by LF or CR LF; the last block may
    // lack lines, which read as empty, and its last line may lack its line end.
    // The number of blocks in `blocks` (a line end after the last line adds none).
    static std::size_t countEntryBlocks(std::string_view blocks);
    // Replaces every entry with the blocks of `bytes` from offset `begin` on, keeping the
    // bytes as the table's buffer (entries 0 .. blocks-1; at least one entry). The caller has
    // checked that the blocks fit (countEntryBlocks <= kMaxEntries). Returns the number of blocks.
    // `progress` hears of the bytes gone through, of all the blocks' bytes.
    std::size_t adoptEntryBlocks(std::string&& bytes, std::size_t begin,
                                 const ProgressCallback& progress = {});
    // Appends the blocks after the last entry, their bytes copied once into the arena. The
    // caller has checked that they fit. Returns the number of blocks.
    std::size_t appendEntryBlocks(std::string_view blocks, const ProgressCallback& progress = {});
    // The bytes of entry `index`'s block, line ends included, when they are exactly what a
    // writer of the block would produce (every line ended by CR LF, both extra fields
    // non-empty) and the fields are in their stored places; else empty. Blocks that follow
    // one another in the buffer come back as adjacent views.
    std::string_view verbatimBlock(int index) const;
    // True when the question, answer and comment of entry `index` are known to hold no line
    // break and to begin and end with a byte above the blank (or to be empty), as entries read
    // or written whole are checked once; false when not known.
    bool knownClean(int index) const;
    // About how many bytes the entries take when written (an estimate for reserving).
    std::size_t byteSizeHint() const;
    // A hint that entry `index` is read soon: its bytes are fetched into the cache meanwhile.
    void prefetchEntry(int index) const;

    void setObserver(EntryTableObserver* observer) { observer_ = observer; }
    EntryTableObserver* observer() const { return observer_; }
    // Tell the observer that entries first..last changed (for algorithms that batch writes).
    void notifyEntriesChanged(int first, int last);

private:
    struct WideRow;

    std::uint32_t slotOf(int index) const {
        return identity_ ? std::uint32_t(index) : order_[index];
    }
    static constexpr int kPageBits = 20;
    static constexpr std::uint32_t kPageSize = 1u << kPageBits;
    std::uint64_t record(std::uint32_t slot) const {
        const std::size_t page = slot >> kPageBits;
        if (page >= pages_.size() || !pages_[page])
            return 0;
        return pages_[page][slot & (kPageSize - 1)];
    }
    void setRecord(std::uint32_t slot, std::uint64_t value);
    void setRawRecord(std::uint32_t slot, std::uint64_t value);
    void releaseRecord(std::uint32_t slot);
    void releaseSlots(std::uint32_t first, std::uint32_t end);
    std::uint32_t newSlot();
    void materializeOrder();
    void insertEmptyEntries(int at, int count);
    void swapStorage(EntryTable& other) noexcept;
    std::uint32_t wideOf(std::uint32_t slot);
    std::uint64_t refFor(std::string_view text);
    std::string_view refText(std::uint64_t ref) const;
    std::string_view blockLine(std::uint64_t rec, int line) const;
    void blockLines(std::uint64_t rec, std::string_view (&lines)[kFieldCount]) const;
    void writeText(int index, int field, std::string_view text);
    void writeEntry(int index, const EntryView& e);
    void clearStorage();
    std::size_t addBlocks(const std::string& buffer, std::size_t begin, std::uint64_t tag,
                          std::size_t blocks, int first, const ProgressCallback& progress);

    std::string source_; // the loaded file's bytes, unchanged
    std::string arena_;  // text written since, appended only
    // Slot records, in pages of kPageSize so that pages of empty entries need no memory: 0
    // for an empty entry, else a block's offset or a wide row's index with a tag in the top bits.
    // Pages are mapped memory: untouched parts take none, and a page filled at once is asked
    // for large pages (fewer page faults).
    struct PageRelease {
        void operator()(std::uint64_t* page) const;
    };
    using Page = std::unique_ptr<std::uint64_t[], PageRelease>;
    static Page newPage(bool filledAtOnce);
    // Pages for `count` slots from `first` on, all to be filled now.
    void allocatePages(std::uint32_t first, std::size_t count);
    std::vector<Page> pages_;
    std::vector<WideRow> wide_;
    std::vector<std::uint32_t> freeWide_;
    int count_ = 1;
    bool identity_ = true;             // entry i is slot i; order_ is unused
    std::vector<std::uint32_t> order_; // entry -> slot, once entries have moved
    std::vector<std::uint32_t> freeSlots_;
    std::uint32_t slotEnd_ = 1; // slots at and past this one are unused
    // Stored place of each field, changed by moveField.
    std::array<std::uint8_t, kFieldCount> fieldOf_{0, 1, 2, 3, 4};
    bool fieldsInPlace_ = true; // fieldOf_ is the identity
    EntryTableObserver* observer_ = nullptr;
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
