#include "core/listops/shuffle_swap.h"

#include <numeric>
#include <random>
#include <utility>

namespace lexanta {

std::vector<int> shuffleOrder(int entries, unsigned seed) {
    // The exchanges run over entry numbers; the table is rearranged once.
    std::vector<int> order(static_cast<std::size_t>(entries));
    std::iota(order.begin(), order.end(), 0);
    std::minstd_rand random(seed);
    for (int i = 0; i < entries; ++i) {
        const int r = static_cast<int>(random() % static_cast<unsigned>(entries));
        std::swap(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(r)]);
    }
    return order;
}

void randomizeEntries(EntryTable& table, unsigned seed) {
    table.reorder(0, shuffleOrder(table.entryCount(), seed));
}

void swapQuestionAnswerCells(EntryTable& table) {
    // The store keeps one map from fields to their stored places for all entries: exchanging
    // two places rewrites no cell, and the entries' bytes, read through the map, are the same.
    table.moveField(kQuestion, kAnswer);
}

} // namespace lexanta
