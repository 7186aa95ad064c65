#pragma once

// Records what an EntryTable tells its observer; inserts, removals, moves and replacements are
// written down as {-1, -1}, changed and permuted rows as {first, last}.

#include "editing/entry_table.h"

#include <utility>
#include <vector>

namespace lexanta::test {

struct RecordingObserver : EntryTableObserver {
    void rowsAboutToBeInserted(int, int) override { notices.push_back({-1, -1}); }
    void rowsInserted() override {}
    void rowsAboutToBeRemoved(int, int) override { notices.push_back({-1, -1}); }
    void rowsRemoved() override {}
    void rowAboutToBeMoved(int, int) override { notices.push_back({-1, -1}); }
    void rowMoved() override {}
    void rowsAboutToBePermuted(int, int) override {}
    void rowsPermuted(int first, const std::vector<int>& order) override {
        notices.push_back({first, first + static_cast<int>(order.size()) - 1});
    }
    void rowsChanged(int first, int last) override { notices.push_back({first, last}); }
    void tableAboutToBeReplaced() override { notices.push_back({-1, -1}); }
    void tableReplaced() override {}
    std::vector<std::pair<int, int>> notices;
};

} // namespace lexanta::test
