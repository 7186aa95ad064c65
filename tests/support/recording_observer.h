#pragma once

// Records what an EntryTable tells its observer; inserts and removals are written down
// as {-1, -1}, changed rows as {first, last}.

#include "editing/entry_table.h"

#include <utility>
#include <vector>

namespace lexanta::test {

struct RecordingObserver : EntryTableObserver {
    void rowsAboutToBeInserted(int, int) override { notices.push_back({-1, -1}); }
    void rowsInserted() override {}
    void rowsAboutToBeRemoved(int, int) override { notices.push_back({-1, -1}); }
    void rowsRemoved() override {}
    void rowsChanged(int first, int last) override { notices.push_back({first, last}); }
    std::vector<std::pair<int, int>> notices;
};

} // namespace lexanta::test
