#pragma once

// Records what an EntryTable tells its observer; inserts, removals, moves and replacements are
// written down as {-1, -1}, changed and reordered entries as {first, last}.

#include "core/vocab/entry_table.h"

#include <utility>
#include <vector>

namespace lexanta::test {

struct RecordingObserver : EntryTableObserver {
    void entriesAboutToBeInserted(int, int) override { notices.push_back({-1, -1}); }
    void entriesInserted() override {}
    void entriesAboutToBeRemoved(int, int) override { notices.push_back({-1, -1}); }
    void entriesRemoved() override {}
    void entryAboutToBeMoved(int, int) override { notices.push_back({-1, -1}); }
    void entryMoved() override {}
    void entriesAboutToBeReordered(int, int) override {}
    void entriesReordered(int first, const std::vector<int>& order) override {
        notices.push_back({first, first + static_cast<int>(order.size()) - 1});
    }
    void entriesChanged(int first, int last) override { notices.push_back({first, last}); }
    void tableAboutToBeReplaced() override { notices.push_back({-1, -1}); }
    void tableReplaced() override {}
    std::vector<std::pair<int, int>> notices;
};

} // namespace lexanta::test
