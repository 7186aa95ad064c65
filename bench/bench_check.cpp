// Times the list check in process: the first run over a list, then what the window does after
// an edit (one cell changed, then update), after an insert at the top and after a sort. Wall
// seconds, and in brackets CPU seconds of all threads (long lists are checked on two cores).
//   bench_check FILE.lut [KINDS [DICTIONARIES]]
// KINDS as lexanta-tool check takes them ("all" for all), DICTIONARIES as its --dictionary
// (Q=en_US,A=ru_RU).
#include "core/check/check_text.h"
#include "core/check/list_check.h"
#include "core/listops/sorting.h"
#include "core/vocab/lut_format.h"
#include "platform/codepage.h"
#include "platform/collation.h"
#include "platform/file_io.h"

#include <QStringList>

#include <chrono>
#include <cstdio>
#include <ctime>

using namespace lexanta;

namespace {

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
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: bench_check FILE.lut [KINDS [DICTIONARIES]]\n");
        return 2;
    }
    std::string bytes;
    if (const IoResult read = readWholeFile(QString::fromLocal8Bit(argv[1]), bytes); !read) {
        std::fprintf(stderr, "%s\n",
                     read.message(QStringLiteral("cannot read")).toLocal8Bit().constData());
        return 1;
    }
    Vocabulary doc;
    readVocabulary(std::move(bytes), doc);
    CheckOptions options;
    if (argc >= 3 && std::string(argv[2]) != "all") {
        options.kinds = 0;
        for (const QString& id : QString::fromLocal8Bit(argv[2]).split(QLatin1Char(',')))
            if (const auto kind = kindOfId(id))
                options.kinds |= kindBit(*kind);
    }
    if (argc == 4)
        for (const QString& item : QString::fromLocal8Bit(argv[3]).split(QLatin1Char(','))) {
            const QString field = item.section(QLatin1Char('='), 0, 0).toUpper();
            const int f = field == QLatin1String("Q") ? 0 : field == QLatin1String("A") ? 1 : 2;
            options.dictionaries[static_cast<std::size_t>(f)] = item.section(QLatin1Char('='), 1);
        }
    ListCheck check;
    std::printf("entries                  %d\n", doc.entries.entryCount());
    std::printf("check                    %s\n", seconds([&] { check.run(doc, options); }).c_str());
    const auto counts = check.counts();
    for (int k = 0; k < kCheckKindCount; ++k)
        std::printf("  %-22s %d\n", kindId(static_cast<CheckKind>(k)).toLatin1().constData(),
                    counts[static_cast<std::size_t>(k)]);
    std::printf("check again              %s\n", seconds([&] { check.run(doc, options); }).c_str());

    ListCheckFollower follower;
    follower.follow(&check);
    doc.entries.setObserver(&follower);
    const int middle = doc.entries.entryCount() / 2;
    std::printf("edit a cell, update      %s\n",
                seconds([&] {
                    doc.entries.setText(middle, kQuestion, doc.entries.text(0, kQuestion));
                    check.update(doc);
                }).c_str());
    std::printf("insert at the top        %s\n", seconds([&] {
                                                     doc.entries.insertEntries(0, 1);
                                                     doc.entries.setText(0, kQuestion, "recieve");
                                                     check.update(doc);
                                                 }).c_str());
    const KeyCollator collator;
    const CodePage& page = CodePage::forCharset(doc.header.fonts[kQuestion].charset);
    std::printf("sort, update             %s\n",
                seconds([&] {
                    doc.entries.reorder(0, sortOrder(doc.entries, kQuestion, page, collator));
                    check.update(doc);
                }).c_str());
    doc.entries.setObserver(nullptr);
    return 0;
}
