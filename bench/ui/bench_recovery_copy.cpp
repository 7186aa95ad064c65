// Typing while a recovery copy is written: the window thread's cost of a snapshot, and of a
// keystroke with and without a copy being serialised and written on the writer's thread
// (CPU time of the window thread, and the slowest keystroke's wall time against a frame).
//   bench_recovery_copy FILE.lut [ROUNDS]      (bench/gen_vocab makes one)
#include "document/document.h"
#include "gui/vocab/recovery_writer.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

using namespace lexanta;

namespace {

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double wallMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Typing {
    double cpuPerKey = 0;  // ms of the window thread's CPU time
    double slowestKey = 0; // ms, wall
    int keys = 0;
};

// Keystrokes into scattered cells, at least `keys` and on while `busy()` (a copy is written).
template <typename Busy> Typing type(Document& doc, int keys, Busy&& busy, int& serial) {
    Typing t;
    const int count = doc.entries().entryCount();
    const double cpu = threadCpuMs();
    while (t.keys < keys || busy()) {
        const int entry = static_cast<int>((static_cast<long long>(serial) * 7919) % count);
        const std::string text = "typed " + std::to_string(serial++);
        const double start = wallMs();
        doc.setText(entry, kQuestion, text, static_cast<quint64>(serial));
        t.slowestKey = std::max(t.slowestKey, wallMs() - start);
        ++t.keys;
        // A fast typist's pace, give or take: the sleep costs no CPU time.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    t.cpuPerKey = (threadCpuMs() - cpu) / t.keys;
    return t;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_recovery_copy FILE.lut [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2;
    Document doc;
    if (const FileOutcome loaded = doc.load(QString::fromLocal8Bit(argv[1])); !loaded.ok()) {
        std::fprintf(stderr, "%s\n", loaded.message().toLocal8Bit().constData());
        return 1;
    }
    QTemporaryDir folder;
    RecoveryWriter writer;
    std::atomic<int> pending{0};
    double copyWall = 0;
    QObject::connect(&writer, &RecoveryWriter::done,
                     [&](const QString&, bool, const QString&) { --pending; });
    std::printf("entries %d\n", doc.entries().entryCount());
    int serial = 1;
    // A B A B: typing alone, then typing while a copy is serialised and written.
    for (int round = 0; round < rounds; ++round) {
        const Typing alone = type(
            doc, 2000, [] { return false; }, serial);
        const double cpu = threadCpuMs();
        DocumentSnapshot snapshot = doc.snapshot();
        const double snapshotMs = threadCpuMs() - cpu;
        const double start = wallMs();
        ++pending;
        writer.write(folder.filePath(QStringLiteral("copy")), std::move(snapshot),
                     QDateTime::currentDateTimeUtc());
        const Typing during = type(
            doc, 2000, [&] { return pending.load() > 0; }, serial);
        copyWall = wallMs() - start;
        std::printf("alone:  %.4f ms CPU/key, slowest %.2f ms (%d keys)\n", alone.cpuPerKey,
                    alone.slowestKey, alone.keys);
        std::printf("during: %.4f ms CPU/key, slowest %.2f ms (%d keys); snapshot %.3f ms CPU; "
                    "copy written in %.0f ms; ratio %.2f\n",
                    during.cpuPerKey, during.slowestKey, during.keys, snapshotMs, copyWall,
                    during.cpuPerKey / alone.cpuPerKey);
    }
    return 0;
}
