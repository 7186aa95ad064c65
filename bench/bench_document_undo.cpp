// Undo and redo of whole-list steps on a large document: time, and the memory a step keeps.
//   bench_document_undo FILE.lut      (bench/gen_vocab makes one)
#include "document/document.h"
#include "platform/collation.h"

#include <chrono>
#include <cstdio>
#include <malloc.h>

using namespace lexanta;

namespace {

double milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

std::size_t heapInUse() {
    return mallinfo2().uordblks + mallinfo2().hblkhd;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_document_undo FILE.lut\n");
        return 2;
    }
    Document doc;
    if (const FileOutcome loaded = doc.load(QString::fromLocal8Bit(argv[1])); !loaded.ok()) {
        std::fprintf(stderr, "%s\n", loaded.message().toLocal8Bit().constData());
        return 1;
    }
    const double entries = doc.entries().entryCount();
    const KeyCollator collator;
    std::printf("entries                          %.0f\n", entries);
    struct Step {
        const char* name;
        std::function<void()> run;
    };
    const Step steps[] = {
        {"sort by question", [&] { doc.sortBy(kQuestion, collator); }},
        {"shuffle", [&] { doc.shuffle(12345); }},
        {"swap questions and answers", [&] { doc.swapQuestionAnswer(); }},
        {"frequency analysis", [&] { doc.frequencyAnalysis(collator); }},
    };
    for (const Step& step : steps) {
        const std::size_t before = heapInUse();
        const double run = milliseconds(step.run);
        const std::size_t kept = heapInUse() - std::min(heapInUse(), before);
        const double undo = milliseconds([&] { doc.undoStack()->undo(); });
        const double redo = milliseconds([&] { doc.undoStack()->redo(); });
        std::printf("%-32s %8.1f ms   undo %7.1f ms   redo %7.1f ms   step keeps %5.2f bytes/row\n",
                    step.name, run, undo, redo, static_cast<double>(kept) / entries);
    }
    return 0;
}
