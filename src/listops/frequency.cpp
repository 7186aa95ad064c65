#include "listops/frequency.h"

#include "platform/codepage.h"
#include "platform/collation.h"

#include <QString>

#include <algorithm>

namespace lexanta {

namespace {
constexpr std::size_t kMaxVariants = 16;
}

std::vector<FrequencyRun> frequencyRuns(const EntryTable& table, const CodePage& codePage,
                                        const KeyCollator& collator) {
    const int rows = table.rowCount();
    std::vector<FrequencyRun> runs;
    // Byte strings already found equal to the current run's text (its case variants, as a
    // rule), so that each is decoded and compared once per run rather than once per row.
    std::vector<std::string_view> variants;
    int i = 1;
    while (i < rows) {
        const std::string_view runText = table.cell(kQuestion, i);
        const QString runKey = codePage.decode(runText);
        variants.clear();
        int length = 1;
        while (i + 1 < rows) {
            const std::string_view next = table.cell(kQuestion, i + 1);
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
        runs.push_back({std::string(runText), length});
        ++i;
    }
    return runs;
}

std::vector<CellChange> frequencyChanges(const std::vector<FrequencyRun>& runs) {
    std::vector<CellChange> changes;
    changes.reserve(runs.size() * 2);
    for (std::size_t p = 0; p < runs.size(); ++p) {
        const int row = static_cast<int>(p) + 1;
        changes.push_back({row, kQuestion, runs[p].text});
        changes.push_back({row, kAnswer, std::to_string(runs[p].length)});
    }
    return changes;
}

int frequencyAnalysis(EntryTable& table, const CodePage& codePage, const KeyCollator& collator) {
    const std::vector<FrequencyRun> runs = frequencyRuns(table, codePage, collator);
    table.applyChanges(frequencyChanges(runs));
    table.setRowCount(static_cast<int>(runs.size()) + 1);
    return static_cast<int>(runs.size());
}

} // namespace lexanta
