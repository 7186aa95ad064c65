// Times the list operations in process (CPU seconds), without loading and saving.
//   bench_listops_core FILE.lut
#include "listops/frequency.h"
#include "listops/search.h"
#include "listops/shuffle_swap.h"
#include "listops/sorting.h"
#include "platform/codepage.h"
#include "platform/collation.h"
#include "platform/file_io.h"
#include "vocab/lut_format.h"

#include <cstdio>
#include <ctime>

using namespace lexanta;

namespace {

// CPU seconds of this process: the machine may be shared, and wall time would count others.
template <typename F> double seconds(F&& work) {
    const std::clock_t start = std::clock();
    work();
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_listops_core FILE.lut\n");
        return 2;
    }
    std::string bytes;
    if (const IoResult read = readWholeFile(QString::fromLocal8Bit(argv[1]), bytes); !read) {
        std::fprintf(stderr, "%s\n",
                     read.message(QStringLiteral("cannot read")).toLocal8Bit().constData());
        return 1;
    }
    Vocabulary doc;
    readVocabulary(bytes, doc);
    const KeyCollator collator;
    const CodePage& questions = CodePage::forCharset(doc.header.fonts[kQuestionField].charset);
    const CodePage& answers = CodePage::forCharset(doc.header.fonts[kAnswerField].charset);
    const int entries = doc.entries.entryCount();

    EntryTable& table = doc.entries;
    long long calls = 0;
    std::printf("entries                    %d\n", entries);
    std::printf("sort by question           %.3f s",
                seconds([&] { calls = sortEntries(table, kQuestion, questions, collator).calls; }));
    std::printf("  (%lld calls)\n", calls);
    std::printf("sort presorted             %.3f s\n",
                seconds([&] { sortEntries(table, kQuestion, questions, collator); }));
    std::printf("find (no match)            %.3f s\n", seconds([&] {
                    findRow(table, kAnswer, 1, QStringLiteral("nothing"), FindOptions{}, answers);
                }));
    std::printf("shuffle                    %.3f s\n",
                seconds([&] { randomizeEntries(table, 12345); }));
    std::printf("sort by answer (cp1251)    %.3f s\n",
                seconds([&] { sortEntries(table, kAnswer, answers, collator); }));
    std::printf("swap                       %.3f s\n",
                seconds([&] { swapQuestionAnswerCells(table); }));
    swapQuestionAnswerCells(table);
    sortEntries(table, kQuestion, questions, collator);
    int runs = 0;
    std::printf("frequency of sorted list   %.3f s",
                seconds([&] { runs = frequencyAnalysis(table, questions, collator); }));
    std::printf("  (%d runs)\n", runs);

    EntryTable same;
    same.setRowCount(entries + 1);
    for (int r = 1; r <= entries; ++r)
        same.setCell(kQuestion, r, "Same");
    std::printf("sort of equal keys         %.3f s\n",
                seconds([&] { sortEntries(same, kQuestion, questions, collator); }));
    return 0;
}
