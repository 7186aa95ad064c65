// Times the interchange core in process: text import (bytes and UTF-8), both exports, and
// the special-import fill.   bench_interchange [N]   (default 1,000,000)
#include "core/interchange/special_import.h"
#include "core/interchange/text_export.h"
#include "core/interchange/text_import.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

using namespace lexanta;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

long peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double cpuMark = 0;

// Wall time since `t` and CPU time since the last report (the machine may be shared).
void report(const char* what, long n, double s) {
    const double cpu = cpuSeconds() - cpuMark;
    std::printf("%-42s %8ld  wall %6.3f s  cpu %6.3f s  %9.0f /s  peak RSS %ld MB\n", what, n, s,
                cpu, s > 0 ? static_cast<double>(n) / s : 0.0, peakRssMb());
    cpuMark = cpuSeconds();
    std::fflush(stdout);
}

// The same number always gives the same word.
std::string latinWord(long i) {
    static const char* syllables[] = {"ba",  "con", "de", "ex", "ger",  "ho", "in", "ka",
                                      "man", "or",  "pe", "st", "tion", "un", "wa", "ze"};
    std::string w;
    for (long k = i * 2654435761 % 4096; w.size() < 6; k /= 16)
        w += syllables[k % 16];
    return w + std::to_string(i);
}

// "кошка" style answers in UTF-8 (а-я are D0 B0..D1 8F).
std::string cyrillicUtf8Word(std::mt19937& rng) {
    std::string w;
    const int letters = 4 + static_cast<int>(rng() % 6);
    for (int k = 0; k < letters; ++k) {
        const int letter = static_cast<int>(rng() % 32); // а..я
        if (letter < 16) {
            w += '\xD0';
            w += static_cast<char>(0xB0 + letter);
        } else {
            w += '\xD1';
            w += static_cast<char>(0x80 + letter - 16);
        }
    }
    return w;
}

std::string cp1251Word(std::mt19937& rng) {
    std::string w;
    const int letters = 4 + static_cast<int>(rng() % 6);
    for (int k = 0; k < letters; ++k)
        w += static_cast<char>(0xE0 + rng() % 32);
    return w;
}

} // namespace

int main(int argc, char** argv) {
    const long n = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1'000'000;
    if (n < 1 || n > 20'000'000) {
        std::fprintf(stderr, "usage: bench_interchange [N]\n");
        return 2;
    }
    std::mt19937 rng(42);
    const std::array<int, 3> pages{1252, 1251, 1252};

    // Tab files of n lines: one taken byte for byte, one UTF-8 with Cyrillic answers.
    std::string bytesFile, utf8File;
    for (long i = 0; i < n; ++i) {
        const std::string q = latinWord(i % 200'000);
        bytesFile += q + '\t' + cp1251Word(rng) + "\t[" + q.substr(0, 4) + "]\r\n";
        utf8File += q + '\t' + cyrillicUtf8Word(rng) + "\t[" + q.substr(0, 4) + "]\n";
    }
    std::printf("tab files: %zu bytes (Windows-1251 answers), %zu bytes (UTF-8 answers)\n",
                bytesFile.size(), utf8File.size());

    EntryTable table;
    cpuMark = cpuSeconds();
    auto t = Clock::now();
    ImportResult r = importText(bytesFile, ImportFormat::ThreeFields, pages, table);
    report("import tab3, bytes as they stand", r.entries, seconds(t));

    EntryTable converted;
    t = Clock::now();
    r = importText(utf8File, ImportFormat::ThreeFields, pages, converted);
    report("import tab3, UTF-8 -> 1251 answers", r.entries, seconds(t));
    if (!r.ok() || !r.convertedFromUtf8)
        std::printf("  unexpected: %d problems\n", r.problemCount);
    utf8File.clear();
    utf8File.shrink_to_fit();

    t = Clock::now();
    const std::string tab = exportTabDelimited(table);
    report("export tab-delimited", n, seconds(t));

    std::array<FieldFont, 3> fonts;
    fonts[kAnswer].charset = kCharsetCyrillic;
    fonts[kComment].charset = kCharsetAnsi;
    t = Clock::now();
    const std::string page = exportHtml(table, "Bench", fonts);
    report("export HTML (answers decoded from 1251)", n, seconds(t));
    std::printf("  tab file %zu bytes, page %zu bytes\n", tab.size(), page.size());

    // Fill: a source of n entries (questions repeat, so the first of each counts) and a grid
    // of n rows with empty answers and comments; half the grid's questions are in the source,
    // in varied Latin case.
    std::string source = "0";
    for (long i = 0; i < n; ++i) {
        const std::string q = latinWord(i % (n / 2 + 1));
        source += "\r\n" + q + "\r\n[" + q.substr(0, 3) + "]\r\n" + cp1251Word(rng) + "\r\n0\r\n0";
    }
    EntryTable grid;
    grid.setEntryCount(static_cast<int>(n));
    std::mt19937 gridRng(7);
    for (long i = 0; i < n; ++i) {
        std::string q = latinWord(static_cast<long>(gridRng() % static_cast<unsigned long>(n)));
        if (i % 3 == 2)
            for (char& c : q)
                if (c >= 'a' && c <= 'z')
                    c = static_cast<char>(c - 'a' + 'A');
        grid.setText(static_cast<int>(i), kQuestion, std::move(q));
    }
    cpuMark = cpuSeconds();
    t = Clock::now();
    const FillResult f = fillFromVocabulary(grid, source);
    report("fill n rows from n source entries", n, seconds(t));
    std::printf("  source entries %d, answers filled %d, comments filled %d\n", f.sourceEntries,
                f.answersFilled, f.commentsFilled);
    return 0;
}
