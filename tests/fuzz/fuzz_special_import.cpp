// Special Import source: only empty answers and comments change, and they are counted.
#include "core/interchange/special_import.h"
#include "core/vocab/lut_format.h"
#include "fuzz/fuzz_check.h"

#include <vector>

using namespace lexanta;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view source = fuzz::asBytes(data, size);
    // The grid asks for the source's own questions (so that some match), half of them with
    // an answer of their own, plus one question the source cannot know.
    Vocabulary parsed;
    readVocabulary(source, parsed);
    EntryTable grid;
    const int asked = std::min(parsed.entries.entryCount(), 63);
    grid.setEntryCount(asked + 1);
    for (int i = 0; i < asked; ++i) {
        Entry e;
        e[kQuestion] = parsed.entries.text(i, kQuestion);
        if (i % 2)
            e[kAnswer] = "own";
        grid.setEntry(i, e);
    }
    grid.setText(asked, kQuestion, "\x01never");
    std::vector<Entry> before;
    for (int i = 0; i < grid.entryCount(); ++i)
        before.push_back(grid.entry(i).toEntry());
    const FillResult result = fillFromVocabulary(grid, source);
    fuzz::require(grid.entryCount() == int(before.size()), "no entry added or removed");
    int answers = 0, comments = 0;
    for (int i = 0; i < grid.entryCount(); ++i) {
        const Entry& was = before[std::size_t(i)];
        const EntryView now = grid.entry(i);
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
    fuzz::require(grid.entry(asked) == before[std::size_t(asked)],
                  "an unknown question gets nothing");
    return 0;
}
