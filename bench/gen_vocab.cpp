// Writes a vocabulary of N generated entries for benchmarks.
//   gen_vocab N OUT.lut [--seed S] [--tab OUT.txt]
// Questions are English-like words (Windows-1252 field font), answers Russian-like words
// (Windows-1251 field font), comments transcriptions; many repeat, in varied letter case.
// The same seed always gives the same file. --tab also writes the entries as UTF-8
// "question<TAB>answer<TAB>comment" lines.
#include "core/vocab/lut_format.h"
#include "core/vocab/vocabulary.h"
#include "platform/codepage.h"
#include "platform/file_io.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace lexanta;

namespace {

// splitmix64: fixed and portable, unlike the distributions of <random>.
struct Random {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    // Skewed towards small values, so a few words are frequent and many are rare.
    int skewed(int n) {
        const double u = static_cast<double>(next() >> 11) / 9007199254740992.0;
        return static_cast<int>(static_cast<double>(n) * u * u * u) % n;
    }
};

QString word(Random& random, const QStringList& syllables, int minSyllables, int maxSyllables) {
    QString w;
    const int count = minSyllables + random.below(maxSyllables - minSyllables + 1);
    for (int i = 0; i < count; ++i)
        w += syllables[random.below(static_cast<int>(syllables.size()))];
    return w;
}

QString varyCase(Random& random, const QString& w) {
    switch (random.below(6)) {
    case 0:
        return w.toUpper();
    case 1:
    case 2:
        return w.left(1).toUpper() + w.mid(1);
    default:
        return w;
    }
}

int usage() {
    std::fprintf(stderr, "usage: gen_vocab N OUT.lut [--seed S] [--tab OUT.txt]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return usage();
    char* end = nullptr;
    const long n = std::strtol(argv[1], &end, 10);
    if (*end != '\0' || n < 1 || n > 50'000'000)
        return usage();
    const QString out = QString::fromLocal8Bit(argv[2]);
    std::uint64_t seed = 1;
    QString tabPath;
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seed" && i + 1 < argc)
            seed = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--tab" && i + 1 < argc)
            tabPath = QString::fromLocal8Bit(argv[++i]);
        else
            return usage();
    }

    Random random{seed};
    const QStringList latin = {"ba",
                               "be",
                               "con",
                               "de",
                               "ex",
                               "fa",
                               "ger",
                               "ho",
                               "in",
                               "ka",
                               "la",
                               "man",
                               "mo",
                               "na",
                               "or",
                               "pe",
                               "qu",
                               "ra",
                               "st",
                               "tion",
                               "un",
                               "ve",
                               "wa",
                               "xi",
                               "yo",
                               "ze",
                               "th",
                               "sh",
                               "ly",
                               "er",
                               QStringLiteral("\u00e9"),
                               QStringLiteral("\u00fc")};
    const QStringList cyrillic =
        QString::fromUtf8(
            "ба ве го да же зо ки ло ми но пу ра со ту фе ха це чи ша щу ы э ю я ль ство ние ёж")
            .split(QLatin1Char(' '));
    const QStringList phonetic = {"a", "e", "i", "o", "u", "b", "d", "k", "l",
                                  "m", "n", "r", "s", "t", "v", ":", "'"};

    // A pool of distinct words: roughly one for every five entries, so words repeat.
    const int poolSize = static_cast<int>(std::max<long>(50, n / 5));
    std::vector<QString> questions(poolSize);
    std::vector<QString> answers(poolSize);
    for (int i = 0; i < poolSize; ++i) {
        questions[i] = word(random, latin, 1, 4);
        if (random.below(8) == 0)
            questions[i] = QStringLiteral("to ") + questions[i];
        answers[i] = word(random, cyrillic, 1, 4);
    }

    const CodePage& cp1252 = CodePage::get(1252);
    const CodePage& cp1251 = CodePage::get(1251);
    Vocabulary doc;
    doc.header.questionsLanguage = "English";
    doc.header.answersLanguage = "Russian";
    doc.header.title = "Generated " + std::to_string(n);
    doc.header.author = "gen_vocab";
    doc.header.date = "01.01.2024";
    doc.header.fonts[kQuestion].charset = kCharsetAnsi;
    doc.header.fonts[kAnswer].charset = kCharsetCyrillic;
    doc.header.fonts[kComment].charset = kCharsetAnsi;
    doc.entries.setEntryCount(static_cast<int>(n));
    std::string tab;
    for (int i = 0; i < n; ++i) {
        const int w = random.skewed(poolSize);
        const QString q = varyCase(random, questions[w]);
        const QString a = varyCase(random, answers[w]);
        const QString c = random.below(3) == 0
                              ? QString()
                              : QLatin1Char('[') + word(random, phonetic, 2, 6) + QLatin1Char(']');
        Entry e;
        e[kQuestion] = cp1252.encode(q).bytes;
        e[kAnswer] = cp1251.encode(a).bytes;
        e[kComment] = cp1252.encode(c).bytes;
        e[kExtra1] = "0";
        e[kExtra2] = "0";
        doc.entries.setEntry(i, std::move(e));
        if (!tabPath.isEmpty())
            tab += (q + QLatin1Char('\t') + a + QLatin1Char('\t') + c + QLatin1Char('\n'))
                       .toUtf8()
                       .toStdString();
    }

    if (const IoResult written = writeWholeFile(out, serializeVocabulary(doc, true)); !written) {
        std::fprintf(stderr, "gen_vocab: %s\n",
                     written.message(QStringLiteral("cannot write")).toLocal8Bit().constData());
        return 1;
    }
    if (!tabPath.isEmpty()) {
        if (const IoResult written = writeWholeFile(tabPath, tab); !written) {
            std::fprintf(stderr, "gen_vocab: %s\n",
                         written.message(QStringLiteral("cannot write")).toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
