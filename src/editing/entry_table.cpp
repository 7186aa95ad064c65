#include "editing/entry_table.h"

#include <algorithm>
#include <cassert>

namespace lexanta {

EntryTable::EntryTable() {
    order_.push_back(newSlot());
    order_.push_back(newSlot());
}

EntryTable::EntryTable(EntryTable&& other) noexcept
    : pool_(std::move(other.pool_)), order_(std::move(other.order_)),
      free_(std::move(other.free_)) {
    other = EntryTable();
}

EntryTable& EntryTable::operator=(EntryTable&& other) noexcept {
    if (this != &other) {
        pool_ = std::move(other.pool_);
        order_ = std::move(other.order_);
        free_ = std::move(other.free_);
        other.pool_.clear();
        other.order_.clear();
        other.free_.clear();
        other.order_.push_back(other.newSlot());
        other.order_.push_back(other.newSlot());
    }
    return *this;
}

std::uint32_t EntryTable::newSlot() {
    if (!free_.empty()) {
        const std::uint32_t slot = free_.back();
        free_.pop_back();
        return slot;
    }
    pool_.emplace_back();
    return static_cast<std::uint32_t>(pool_.size() - 1);
}

void EntryTable::releaseSlot(std::uint32_t slot) {
    pool_[slot] = Entry{};
    free_.push_back(slot);
}

void EntryTable::setRowCount(int rows) {
    rows = std::max(rows, 2);
    const int now = rowCount();
    if (rows > now)
        insertRows(now, rows - now);
    else if (rows < now)
        removeRows(rows, now - rows);
}

std::string_view EntryTable::cell(int column, int row) const {
    if (column < 1 || column > kStoredColumns || row < 0 || row >= rowCount())
        return {};
    return pool_[order_[row]][column];
}

void EntryTable::setCell(int column, int row, std::string_view text) {
    if (column < 1 || column > kStoredColumns || row < 0 || row >= rowCount())
        return;
    pool_[order_[row]][column].assign(text);
    if (observer_)
        observer_->rowsChanged(row, row);
}

EntryView EntryTable::entry(int row) const {
    assert(row >= 0 && row < rowCount());
    const Entry& e = pool_[order_[row]];
    EntryView v;
    for (int c = 0; c < kStoredColumns; ++c)
        v.fields[c] = e.fields[c];
    return v;
}

void EntryTable::setEntry(int row, const Entry& e) {
    setEntry(row, Entry(e));
}

void EntryTable::setEntry(int row, Entry&& e) {
    assert(row >= 0 && row < rowCount());
    pool_[order_[row]] = std::move(e);
    if (observer_)
        observer_->rowsChanged(row, row);
}

void EntryTable::clearRow(int row) {
    setEntry(row, Entry{});
}

bool EntryTable::isBlank(int row) const {
    const Entry& e = pool_[order_[row]];
    return e[kQuestion].empty() && e[kAnswer].empty() && e[kComment].empty();
}

void EntryTable::exchangeRows(int a, int b) {
    std::swap(order_[a], order_[b]);
    if (observer_)
        observer_->rowsChanged(std::min(a, b), std::max(a, b));
}

void EntryTable::moveRow(int from, int to) {
    if (from == to)
        return;
    if (observer_)
        observer_->rowAboutToBeMoved(from, to);
    const std::uint32_t slot = order_[from];
    if (from < to)
        std::move(order_.begin() + from + 1, order_.begin() + to + 1, order_.begin() + from);
    else
        std::move_backward(order_.begin() + to, order_.begin() + from, order_.begin() + from + 1);
    order_[to] = slot;
    if (observer_)
        observer_->rowMoved();
}

void EntryTable::moveField(int from, int to) {
    if (from == to || from < 1 || to < 1 || from > kStoredColumns || to > kStoredColumns)
        return;
    for (int r = 1; r < rowCount(); ++r) {
        auto& fields = pool_[order_[r]].fields;
        if (from < to)
            std::rotate(fields.begin() + from - 1, fields.begin() + from, fields.begin() + to);
        else
            std::rotate(fields.begin() + to - 1, fields.begin() + from - 1, fields.begin() + from);
    }
    if (observer_)
        observer_->rowsChanged(1, rowCount() - 1);
}

void EntryTable::insertRows(int at, int count) {
    if (count <= 0)
        return;
    at = std::clamp(at, 1, rowCount());
    if (observer_)
        observer_->rowsAboutToBeInserted(at, count);
    std::vector<std::uint32_t> slots(count);
    for (auto& s : slots)
        s = newSlot();
    order_.insert(order_.begin() + at, slots.begin(), slots.end());
    if (observer_)
        observer_->rowsInserted();
}

void EntryTable::removeRows(int at, int count) {
    if (at < 1)
        return;
    count = std::min(count, rowCount() - at);
    // the header and one entry row always remain
    count = std::min(count, rowCount() - 2);
    if (count <= 0)
        return;
    if (observer_)
        observer_->rowsAboutToBeRemoved(at, count);
    for (int r = at; r < at + count; ++r)
        releaseSlot(order_[r]);
    order_.erase(order_.begin() + at, order_.begin() + at + count);
    if (observer_)
        observer_->rowsRemoved();
}

void EntryTable::permute(int first, const std::vector<int>& newOrder) {
    if (newOrder.empty())
        return;
    if (observer_)
        observer_->rowsAboutToBePermuted(first, static_cast<int>(newOrder.size()));
    std::vector<std::uint32_t> slots(newOrder.size());
    for (std::size_t i = 0; i < newOrder.size(); ++i) {
        assert(newOrder[i] >= first && newOrder[i] < first + static_cast<int>(newOrder.size()));
        slots[i] = order_[newOrder[i]];
    }
    std::copy(slots.begin(), slots.end(), order_.begin() + first);
    if (observer_)
        observer_->rowsPermuted(first, newOrder);
}

void EntryTable::applyChanges(const std::vector<CellChange>& changes) {
    if (changes.empty())
        return;
    int first = rowCount(), last = 0;
    for (const CellChange& c : changes) {
        assert(c.row >= 1 && c.row < rowCount() && c.column >= 1 && c.column <= kStoredColumns);
        pool_[order_[c.row]][c.column] = c.text;
        first = std::min(first, c.row);
        last = std::max(last, c.row);
    }
    notifyRowsChanged(first, last);
}

void EntryTable::reset() {
    // Row 1 is emptied before the rows go, so whoever follows the removal sees the new row 1.
    pool_[order_[1]] = Entry{};
    setRowCount(2);
    if (observer_)
        observer_->rowsChanged(1, 1);
}

void EntryTable::swapContents(EntryTable& other) {
    if (observer_)
        observer_->tableAboutToBeReplaced();
    if (other.observer_)
        other.observer_->tableAboutToBeReplaced();
    std::swap(pool_, other.pool_);
    std::swap(order_, other.order_);
    std::swap(free_, other.free_);
    if (observer_)
        observer_->tableReplaced();
    if (other.observer_)
        other.observer_->tableReplaced();
}

void EntryTable::notifyRowsChanged(int first, int last) {
    if (observer_ && first <= last)
        observer_->rowsChanged(first, last);
}

} // namespace lexanta
