#include "listops/shuffle_swap.h"

#include "listops/batch_writes.h"

#include <numeric>
#include <random>
#include <utility>
#include <vector>

namespace lexanta {

void randomizeEntries(EntryTable& table, unsigned seed) {
    const int rows = table.rowCount();
    const int entries = rows - 1;
    // The exchanges run over row numbers; the table is rearranged once.
    std::vector<int> order(entries);
    std::iota(order.begin(), order.end(), 1);
    std::minstd_rand random(seed);
    for (int i = 1; i < rows; ++i) {
        const int r = 1 + static_cast<int>(random() % static_cast<unsigned>(entries));
        std::swap(order[i - 1], order[r - 1]);
    }
    table.permute(1, order);
}

void swapQuestionAnswerCells(EntryTable& table) {
    const int rows = table.rowCount();
    {
        BatchWrites batch(table);
        for (int r = 1; r < rows; ++r) {
            std::string question = table.cell(kQuestion, r);
            std::string answer = table.cell(kAnswer, r);
            table.setCell(kQuestion, r, std::move(answer));
            table.setCell(kAnswer, r, std::move(question));
        }
    }
    table.notifyRowsChanged(1, rows - 1);
}

} // namespace lexanta
