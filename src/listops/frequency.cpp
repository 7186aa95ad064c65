#include "listops/frequency.h"

#include "listops/batch_writes.h"
#include "platform/codepage.h"
#include "platform/collation.h"

#include <QString>

#include <algorithm>
#include <string>
#include <vector>

namespace lexanta {

namespace {
constexpr std::size_t kMaxVariants = 16;
}

int frequencyAnalysis(EntryTable& table, const CodePage& codePage, const KeyCollator& collator) {
    const int rows = table.rowCount();
    int runs = 0;
    {
        BatchWrites batch(table);
        // Byte strings already found equal to the current run's text (its case variants, as a
        // rule), so that each is decoded and compared once per run rather than once per row.
        std::vector<std::string> variants;
        int i = 1;
        while (i < rows) {
            // A run's result goes to row runs+1, which is never below the run's first row, so
            // the rows still to be read are never overwritten.
            std::string runText = table.cell(kQuestion, i);
            const QString runKey = codePage.decode(runText);
            variants.clear();
            int length = 1;
            while (i + 1 < rows) {
                const std::string& next = table.cell(kQuestion, i + 1);
                if (next != runText &&
                    std::find(variants.begin(), variants.end(), next) == variants.end()) {
                    if (collator.compare(codePage.decode(next), runKey) != 0)
                        break;
                    if (variants.size() < kMaxVariants)
                        variants.push_back(next);
                }
                ++length;
                ++i;
            }
            ++runs;
            table.setCell(kQuestion, runs, std::move(runText));
            table.setCell(kAnswer, runs, std::to_string(length));
            ++i;
        }
    }
    table.notifyRowsChanged(1, runs);
    table.setRowCount(runs + 1);
    return runs;
}

} // namespace lexanta
