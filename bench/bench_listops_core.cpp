// Times the file and list operations in process, without starting a process per step: wall
// seconds, and in brackets CPU seconds of all threads (the sort and the frequency analysis run
// on two cores).
//   bench_listops_core FILE.lut
#include "core/listops/frequency.h"
#include "core/listops/search.h"
#include "core/listops/shuffle_swap.h"
#include "core/listops/sorting.h"
#include "core/vocab/lut_format.h"
#include "platform/codepage.h"
#include "platform/collation.h"
#include "platform/file_io.h"

#include "core/listops/cleanup.h"

#include <chrono>
#include <cstdio>
#include <ctime>

using namespace lexanta;

namespace {

// "wall (cpu)" seconds of one run of `work`.
template <typename F> std::string seconds(F&& work) {
    const std::clock_t cpu = std::clock();
    const auto wall = std::chrono::steady_clock::now();
    work();
    const double w = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
    const double c = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
    char text[64];
    std::snprintf(text, sizeof text, "%.3f s (%.3f)", w, c);
    return text;
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
    std::printf("read .lut                  %s\n",
                seconds([&] { readVocabulary(std::move(bytes), doc); }).c_str());
    std::printf("normalize cells            %s\n",
                seconds([&] { normalizeCells(doc.entries); }).c_str());
    std::string written;
    std::printf("write .lut                 %s\n",
                seconds([&] { written = serializeVocabulary(doc, true); }).c_str());
    const KeyCollator collator;
    const CodePage& questions = CodePage::forCharset(doc.header.fonts[kQuestion].charset);
    const CodePage& answers = CodePage::forCharset(doc.header.fonts[kAnswer].charset);
    const int entries = doc.entries.entryCount();

    EntryTable& table = doc.entries;
    long long calls = 0;
    std::printf("entries                    %d\n", entries);
    const std::string sortTime =
        seconds([&] { calls = sortEntries(table, kQuestion, questions, collator).calls; });
    std::printf("sort by question           %s  (%lld calls)\n", sortTime.c_str(), calls);
    std::printf("write sorted .lut          %s\n",
                seconds([&] { written = serializeVocabulary(doc, true); }).c_str());
    std::printf("sort presorted             %s\n",
                seconds([&] { sortEntries(table, kQuestion, questions, collator); }).c_str());
    std::printf("find (no match)            %s\n",
                seconds([&] {
                    findEntry(table, kAnswer, 0, QStringLiteral("nothing"), FindOptions{}, answers);
                }).c_str());
    std::printf("shuffle                    %s\n",
                seconds([&] { randomizeEntries(table, 12345); }).c_str());
    std::printf("sort by answer (cp1251)    %s\n",
                seconds([&] { sortEntries(table, kAnswer, answers, collator); }).c_str());
    std::printf("swap                       %s\n",
                seconds([&] { swapQuestionAnswerCells(table); }).c_str());
    swapQuestionAnswerCells(table);
    sortEntries(table, kQuestion, questions, collator);
    int runs = 0;
    const std::string frequencyTime =
        seconds([&] { runs = frequencyAnalysis(table, questions, collator); });
    std::printf("frequency of sorted list   %s  (%d runs)\n", frequencyTime.c_str(), runs);

    EntryTable same;
    same.setEntryCount(entries);
    for (int i = 0; i < entries; ++i)
        same.setText(i, kQuestion, "Same");
    std::printf("sort of equal keys         %s\n",
                seconds([&] { sortEntries(same, kQuestion, questions, collator); }).c_str());
    return 0;
}
