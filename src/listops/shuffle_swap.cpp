#include "listops/shuffle_swap.h"

#include <numeric>
#include <random>
#include <string>
#include <utility>

namespace lexanta {

std::vector<int> shuffleOrder(int entries, unsigned seed) {
    // The exchanges run over row numbers; the table is rearranged once.
    std::vector<int> order(static_cast<std::size_t>(entries));
    std::iota(order.begin(), order.end(), 1);
    std::minstd_rand random(seed);
    for (int i = 1; i <= entries; ++i) {
        const int r = 1 + static_cast<int>(random() % static_cast<unsigned>(entries));
        std::swap(order[i - 1], order[r - 1]);
    }
    return order;
}

void randomizeEntries(EntryTable& table, unsigned seed) {
    table.permute(1, shuffleOrder(table.entryCount(), seed));
}

void swapQuestionAnswerCells(EntryTable& table) {
    const int rows = table.rowCount();
    {
        BatchWrites batch(table);
        for (int r = 1; r < rows; ++r) {
            std::string question(table.cell(kQuestion, r));
            std::string answer(table.cell(kAnswer, r));
            table.setCell(kQuestion, r, answer);
            table.setCell(kAnswer, r, question);
        }
    }
    table.notifyRowsChanged(1, rows - 1);
}

} // namespace lexanta
