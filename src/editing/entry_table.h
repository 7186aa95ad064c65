#pragma once

#include <array>
#include <cstdint>
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
// Rows are kept as indices into a slot pool, so moving, inserting and deleting rows
// moves 4-byte indices, not strings.
class EntryTable {
public:
    EntryTable();
    EntryTable(EntryTable&& other) noexcept;
    EntryTable& operator=(EntryTable&& other) noexcept;
    EntryTable(const EntryTable&) = delete;
    EntryTable& operator=(const EntryTable&) = delete;

    int rowCount() const { return static_cast<int>(order_.size()); }
    int entryCount() const { return rowCount() - 1; }
    // Growing appends empty rows, shrinking drops the last rows. Values below 2 count as 2.
    void setRowCount(int rows);

    // column 0 reads as empty; columns beyond 5 are not stored.
    std::string_view cell(int column, int row) const;
    void setCell(int column, int row, std::string_view text);

    EntryView entry(int row) const;
    void setEntry(int row, const Entry& e);
    void setEntry(int row, Entry&& e);
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
    // Empties every entry row and sets the row count to 2.
    void reset();
    // Exchanges the whole contents (not the observers) with `other`; the observer hears of
    // it as a replacement.
    void swapContents(EntryTable& other);

    void setObserver(EntryTableObserver* observer) { observer_ = observer; }
    EntryTableObserver* observer() const { return observer_; }
    // Tell the observer that rows first..last changed (for algorithms that batch writes).
    void notifyRowsChanged(int first, int last);

private:
    std::uint32_t newSlot();
    void releaseSlot(std::uint32_t slot);

    std::vector<Entry> pool_;
    std::vector<std::uint32_t> order_;
    std::vector<std::uint32_t> free_;
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
