#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lexanta {

// Grid columns of an entry row. Column 0 is the handle column and holds no text.
enum Column : int { kQuestion = 1, kAnswer = 2, kComment = 3, kExtra1 = 4, kExtra2 = 5 };
inline constexpr int kStoredColumns = 5;

// The five stored fields of one entry, as the bytes of the file (no conversion).
struct Entry {
    std::array<std::string, kStoredColumns> fields;

    std::string& operator[](int column) { return fields[column - 1]; }
    const std::string& operator[](int column) const { return fields[column - 1]; }
    bool operator==(const Entry&) const = default;
};

// The five fields of a stored entry, viewed where the table keeps them. Valid until the table
// is next changed.
struct EntryView {
    std::array<std::string_view, kStoredColumns> fields;

    std::string_view operator[](int column) const { return fields[column - 1]; }
    bool operator==(const EntryView&) const = default;
    bool operator==(const Entry& e) const {
        for (int c = 0; c < kStoredColumns; ++c)
            if (fields[c] != e.fields[c])
                return false;
        return true;
    }
    Entry toEntry() const {
        Entry e;
        for (int c = 0; c < kStoredColumns; ++c)
            e.fields[c] = std::string(fields[c]);
        return e;
    }
};

// One cell's new text, as the list operations plan their changes before making them.
struct CellChange {
    int row = 0;
    int column = 0;
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
    virtual void rowsAboutToBeInserted(int first, int count) = 0;
    virtual void rowsInserted() = 0;
    virtual void rowsAboutToBeRemoved(int first, int count) = 0;
    virtual void rowsRemoved() = 0;
    // The entry at `from` is about to move to `to`; the rows in between shift by one.
    virtual void rowAboutToBeMoved(int from, int to) = 0;
    virtual void rowMoved() = 0;
    // Rows first .. first+count-1 are about to be rearranged; afterwards the row at first+i
    // holds the entry that was at newOrder[i].
    virtual void rowsAboutToBePermuted(int first, int count) = 0;
    virtual void rowsPermuted(int first, const std::vector<int>& newOrder) = 0;
    // Cells of rows first..last (inclusive) may have changed; no row was added or removed.
    virtual void rowsChanged(int first, int last) = 0;
    // Everything may have changed, the row count included (the table was replaced).
    virtual void tableAboutToBeReplaced() = 0;
    virtual void tableReplaced() = 0;
};

// The grid's cell store: rows 0 .. rowCount()-1, row 0 the header row (never holds
// entry text), five byte-string fields per row. rowCount() never drops below 2.
//
// Storage is compact. A loaded file's bytes stay one buffer, and a row read from it is the
// offset of its entry block there (8 bytes per entry, no copy of a field); a cell is found by
// scanning the block's few short lines. Text written later (edits, imports, merged files) is
// appended to a side arena that only grows: an edited row holds five offset-and-length
// references, each into the file or the arena, so its unchanged cells are not copied. An
// empty row costs nothing beyond its row number. Rows are slots of 8-byte records; once a row
// is inserted, deleted or moved in the middle, rows become indices into the slots, so that
// moving, inserting and deleting rows moves 4-byte indices, not text. A sort or shuffle puts
// the records themselves into row order again.
class EntryTable {
public:
    // Row numbers are ints: at most this many rows, the header row included.
    static constexpr int kMaxRows = 2147483647;
    static constexpr long long kMaxEntries = kMaxRows - 1LL;

    EntryTable();
    ~EntryTable();
    EntryTable(EntryTable&& other) noexcept;
    EntryTable& operator=(EntryTable&& other) noexcept;
    EntryTable(const EntryTable&) = delete;
    EntryTable& operator=(const EntryTable&) = delete;

    int rowCount() const { return rows_; }
    int entryCount() const { return rowCount() - 1; }
    // Growing appends empty rows, shrinking drops the last rows. Values below 2 count as 2.
    void setRowCount(int rows);

    // column 0 reads as empty; columns beyond 5 are not stored.
    std::string_view cell(int column, int row) const;
    void setCell(int column, int row, std::string_view text);

    EntryView entry(int row) const;
    void setEntry(int row, const Entry& e);
    void setEntry(int row, const EntryView& e);
    void clearRow(int row);
    bool isBlank(int row) const; // question, answer and comment all empty

    void exchangeRows(int a, int b);
    // Moves the entry at `from` to `to`; the rows in between shift by one.
    void moveRow(int from, int to);
    // Moves field `from` to position `to` in every row (stored columns 1..5); the fields in
    // between shift by one. Used when a grid column is dragged: its data takes the new role.
    void moveField(int from, int to);
    void insertRows(int at, int count);
    void removeRows(int at, int count);
    // Rearranges rows first .. first+newOrder.size()-1: the row at first+i receives the
    // entry that was at newOrder[i] (an absolute row number inside that range).
    void permute(int first, const std::vector<int>& newOrder);
    // Writes each change (rows and columns must exist); one notice for all of them.
    void applyChanges(const std::vector<CellChange>& changes);
    // Empties every entry row and sets the row count to 2; the storage is released.
    void reset();
    // Exchanges the whole contents (not the observers) with `other`; the observer hears of
    // it as a replacement.
    void swapContents(EntryTable& other);

    // Entry blocks as a vocabulary file holds them: five lines per entry (question, comment,
    // answer, extra field 1, extra field 2), each ended by LF or CR LF; the last block may
    // lack lines, which read as empty, and its last line may lack its line end.
    // The number of blocks in `blocks` (a line end after the last line adds none).
    static std::size_t countEntryBlocks(std::string_view blocks);
    // Replaces every entry row with the blocks of `bytes` from offset `begin` on, keeping the
    // bytes as the table's buffer (rows 1 .. blocks; at least one row). The caller has checked
    // that the blocks fit (countEntryBlocks <= kMaxEntries). Returns the number of blocks.
    // `progress` hears of the bytes gone through, of all the blocks' bytes.
    std::size_t adoptEntryBlocks(std::string&& bytes, std::size_t begin,
                                 const ProgressCallback& progress = {});
    // Appends the blocks after the last row, their bytes copied once into the arena. The
    // caller has checked that they fit. Returns the number of blocks.
    std::size_t appendEntryBlocks(std::string_view blocks, const ProgressCallback& progress = {});
    // The bytes of row `row`'s entry block, line ends included, when they are exactly what a
    // writer of the block would produce (every line ended by CR LF, both extra fields
    // non-empty) and the fields are in their stored places; else empty. Blocks that follow
    // one another in the buffer come back as adjacent views.
    std::string_view verbatimBlock(int row) const;
    // True when the question, answer and comment of `row` are known to hold no line break and
    // to begin and end with a byte above the blank (or to be empty), as rows read or written
    // whole are checked once; false when not known.
    bool knownClean(int row) const;
    // About how many bytes the entries take when written (an estimate for reserving).
    std::size_t byteSizeHint() const;
    // A hint that `row` is read soon: its bytes are fetched into the cache meanwhile.
    void prefetchRow(int row) const;

    void setObserver(EntryTableObserver* observer) { observer_ = observer; }
    EntryTableObserver* observer() const { return observer_; }
    // Tell the observer that rows first..last changed (for algorithms that batch writes).
    void notifyRowsChanged(int first, int last);

private:
    struct WideRow;

    std::uint32_t slotOf(int row) const { return identity_ ? std::uint32_t(row) : order_[row]; }
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
    void insertEmptyRows(int at, int count);
    void swapStorage(EntryTable& other) noexcept;
    std::uint32_t wideOf(std::uint32_t slot);
    std::uint64_t refFor(std::string_view text);
    std::string_view refText(std::uint64_t ref) const;
    std::string_view blockLine(std::uint64_t rec, int line) const;
    void blockLines(std::uint64_t rec, std::string_view (&lines)[kStoredColumns]) const;
    void writeCell(int column, int row, std::string_view text);
    void writeEntry(int row, const EntryView& e);
    void clearStorage();
    std::size_t addBlocks(const std::string& buffer, std::size_t begin, std::uint64_t tag,
                          std::size_t blocks, int first, const ProgressCallback& progress);

    std::string source_; // the loaded file's bytes, unchanged
    std::string arena_;  // text written since, appended only
    // Slot records, in pages of kPageSize so that pages of empty rows need no memory: 0 for
    // an empty row, else a block's offset or a wide row's index with a tag in the top bits.
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
    int rows_ = 2;
    bool identity_ = true;             // row r is slot r; order_ is unused
    std::vector<std::uint32_t> order_; // row -> slot, once rows have moved
    std::vector<std::uint32_t> freeSlots_;
    std::uint32_t slotEnd_ = 2; // slots at and past this one are unused
    // Stored field of each column (0 question, 1 answer, 2 comment, 3 and 4 the extras),
    // changed by moveField.
    std::array<std::uint8_t, kStoredColumns> fieldOf_{0, 1, 2, 3, 4};
    bool fieldsInPlace_ = true; // fieldOf_ is the identity
    EntryTableObserver* observer_ = nullptr;
};

// Holds back a table's per-cell change notices while a whole-list operation rewrites many
// cells; the operation tells the observer once afterwards (notifyRowsChanged).
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
