#pragma once

#include "editing/entry_table.h"

namespace lexanta {

// Holds back the table's per-cell change notices while a whole-list operation rewrites many
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
