#include "editing/entry_table.h"

#include <algorithm>
#include <cassert>

namespace lexanta {

namespace {
const std::string kEmpty;
}

EntryTable::EntryTable() {
    order_.push_back(newSlot());
    order_.push_back(newSlot());
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

const std::string& EntryTable::cell(int column, int row) const {
    if (column < 1 || column > kStoredColumns || row < 0 || row >= rowCount())
        return kEmpty;
    return pool_[order_[row]][column];
}

void EntryTable::setCell(int column, int row, std::string text) {
    if (column < 1 || column > kStoredColumns || row < 0 || row >= rowCount())
        return;
    pool_[order_[row]][column] = std::move(text);
    if (observer_)
        observer_->rowsChanged(row, row);
}

void EntryTable::setEntry(int row, Entry e) {
    pool_[order_[row]] = std::move(e);
    if (observer_)
        observer_->rowsChanged(row, row);
}

void EntryTable::clearRow(int row) {
    setEntry(row, Entry{});
}

bool EntryTable::isBlank(int row) const {
    const Entry& e = entry(row);
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
    const std::uint32_t slot = order_[from];
    if (from < to)
        std::move(order_.begin() + from + 1, order_.begin() + to + 1, order_.begin() + from);
    else
        std::move_backward(order_.begin() + to, order_.begin() + from, order_.begin() + from + 1);
    order_[to] = slot;
    if (observer_)
        observer_->rowsChanged(std::min(from, to), std::max(from, to));
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
    std::vector<std::uint32_t> slots(newOrder.size());
    for (std::size_t i = 0; i < newOrder.size(); ++i) {
        assert(newOrder[i] >= first && newOrder[i] < first + static_cast<int>(newOrder.size()));
        slots[i] = order_[newOrder[i]];
    }
    std::copy(slots.begin(), slots.end(), order_.begin() + first);
    if (observer_)
        observer_->rowsChanged(first, first + static_cast<int>(newOrder.size()) - 1);
}

void EntryTable::reset() {
    // Row 1 is emptied before the rows go, so whoever follows the removal sees the new row 1.
    pool_[order_[1]] = Entry{};
    setRowCount(2);
    if (observer_)
        observer_->rowsChanged(1, 1);
}

void EntryTable::notifyRowsChanged(int first, int last) {
    if (observer_ && first <= last)
        observer_->rowsChanged(first, last);
}

} // namespace lexanta
