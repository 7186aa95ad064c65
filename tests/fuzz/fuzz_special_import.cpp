// Special Import source: only empty answers and comments change, and they are counted.
#include "fuzz/fuzz_check.h"
#include "interchange/special_import.h"
#include "vocab/lut_format.h"

#include <vector>

using namespace lexanta;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view source = fuzz::asBytes(data, size);
    // The grid asks for the source's own questions (so that some match), half of them with
    // an answer of their own, plus one question the source cannot know.
    Vocabulary parsed;
    readVocabulary(source, parsed);
    EntryTable grid;
    const int rows = std::min(parsed.entries.rowCount(), 64);
    grid.setRowCount(rows + 1);
    for (int r = 1; r < rows; ++r) {
        Entry e;
        e[kQuestion] = parsed.entries.cell(kQuestion, r);
        if (r % 2 == 0)
            e[kAnswer] = "own";
        grid.setEntry(r, e);
    }
    grid.setCell(kQuestion, rows, "\x01never");
    std::vector<Entry> before;
    for (int r = 0; r < grid.rowCount(); ++r)
        before.push_back(grid.entry(r).toEntry());
    const FillResult result = fillFromVocabulary(grid, source);
    fuzz::require(grid.rowCount() == int(before.size()), "no row added or removed");
    int answers = 0, comments = 0;
    for (int r = 1; r < grid.rowCount(); ++r) {
        const Entry& was = before[std::size_t(r)];
        const EntryView now = grid.entry(r);
        fuzz::require(now[kQuestion] == was[kQuestion], "questions untouched");
        for (const int c : {kAnswer, kComment}) {
            if (now[c] == was[c])
                continue;
            fuzz::require(was[c].empty(), "only empty fields are filled");
            ++(c == kAnswer ? answers : comments);
        }
    }
    fuzz::require(answers == result.answersFilled && comments == result.commentsFilled,
                  "fills counted");
    fuzz::require(grid.entry(rows) == before[std::size_t(rows)],
                  "an unknown question gets nothing");
    return 0;
}
