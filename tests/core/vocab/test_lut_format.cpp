#include "core/vocab/lut_format.h"
#include "support/repeated_bytes.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <cstdio>

using namespace lexanta;

namespace {

std::string readData(const QString& name) {
    QFile f(QStringLiteral(LEXANTA_TEST_DATA "/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().toStdString();
}

std::string readData(const char* name) {
    return readData(QString::fromLatin1(name));
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (i + 1 < lines.size())
            out += "\r\n";
    }
    return out;
}

// The header and counter lines of the worked example.
std::vector<std::string> headerLines() {
    std::vector<std::string> lines;
    for (const QByteArray& line : QByteArray::fromStdString(readData("animals.lut")).split('\n'))
        if (lines.size() < std::size_t(kHeaderLines) + 1)
            lines.push_back(line.chopped(1).toStdString()); // without its CR
    return lines;
}

// A current-format file of the given header lines and one entry.
std::string fileWithOneEntry(std::vector<std::string> lines) {
    for (const char* l : {"q", "", "a", "0", "0"})
        lines.push_back(l);
    return joinLines(lines);
}

Vocabulary load(const std::string& bytes) {
    Vocabulary doc;
    readVocabulary(bytes, doc);
    return doc;
}

// A byte of a text as read.txt shows it: printable ASCII as it is, anything else as \xNN.
std::string shown(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b >= 0x7f || c == '\\' || c == '|') {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

// Everything a vocabulary holds, one item a line, as the cases' read.txt files list it.
std::string describe(const Vocabulary& doc) {
    const VocabularyHeader& h = doc.header;
    std::string out = std::string("format: ") + (doc.currentFormat ? "current" : "old") + "\n";
    const std::pair<const char*, const std::string*> texts[] = {
        {"questions language", &h.questionsLanguage},
        {"answers language", &h.answersLanguage},
        {"title", &h.title},
        {"author", &h.author},
        {"date", &h.date}};
    for (const auto& [name, text] : texts)
        out += std::string(name) + ": " + shown(*text) + "\n";
    out += "layouts: " + shown(h.layoutNames[0]) + "|" + shown(h.layoutNames[1]) + "|" +
           shown(h.layoutNames[2]) + "\n";
    out += "font size: " + std::to_string(h.fontSize) + "\n";
    for (int f = 0; f < kShownFields; ++f) {
        const FieldFont& font = h.fonts[static_cast<std::size_t>(f)];
        out += "font " + std::to_string(f + 1) + ": " + shown(font.face) + "|color " +
               std::to_string(font.color) + "|bold " + std::to_string(font.bold) + "|italic " +
               std::to_string(font.italic) + "|underline " + std::to_string(font.underline) +
               "|strike-out " + std::to_string(font.strikeOut) + "|charset " +
               std::to_string(font.charset) + "\n";
    }
    out += "counter: " + shown(doc.counterLine) + "\n";
    for (int e = 0; e < doc.entries.entryCount(); ++e) {
        out += "entry " + std::to_string(e + 1) + ":";
        for (int f = 0; f < kFieldCount; ++f)
            out += (f ? "|" : " ") + shown(doc.entries.text(e, f));
        out += "\n";
    }
    return out;
}

} // namespace

namespace {

std::string inPieces(const Vocabulary& doc, bool withHeader) {
    std::string out;
    writeVocabulary(doc, withHeader, [&](std::string_view piece) { out.append(piece); });
    return out;
}

} // namespace

class TestLutFormat : public QObject {
    Q_OBJECT

private slots:
    void workedExample() {
        const std::string bytes = readData("animals.lut");
        QCOMPARE(bytes.size(), std::size_t(240));
        Vocabulary doc = load(bytes);
        QVERIFY(doc.currentFormat);
        QCOMPARE(doc.header.title, std::string("Animals"));
        QCOMPARE(doc.header.questionsLanguage, std::string("English"));
        QCOMPARE(doc.header.date, std::string("01.02.2003"));
        QCOMPARE(doc.header.layoutNames[1], std::string("00000407"));
        QCOMPARE(doc.header.fontSize, 10);
        QCOMPARE(doc.header.fonts[0].color, kColorWindowText);
        QCOMPARE(doc.header.fonts[0].charset, 1);
        QVERIFY(doc.header.fonts[1].bold);
        QVERIFY(doc.header.fonts[2].italic);
        QCOMPARE(doc.counterLine, std::string("0\n"));
        QCOMPARE(doc.entries.entryCount(), 2);
        QCOMPARE(doc.entries.entry(0), (Entry{{"cat", "Katze", "kat", "0", "0"}}));
        QCOMPARE(doc.entries.entry(1), (Entry{{"dog", "Hund", "", "0", "0"}}));
        QCOMPARE(serializeVocabulary(doc, true), bytes);
    }

    void oldFormat() {
        const std::string bytes = readData("old_format.lut");
        Vocabulary doc;
        doc.header.title = "kept";
        doc.header.fontSize = 14;
        readVocabulary(bytes, doc);
        QVERIFY(!doc.currentFormat);
        QCOMPARE(doc.header.title, std::string("kept"));
        QCOMPARE(doc.header.fontSize, 14);
        QCOMPARE(doc.entries.entryCount(), 2);
        QCOMPARE(doc.entries.text(0, kQuestion), std::string("house"));
        QCOMPARE(doc.entries.text(0, kComment), std::string("haus"));
        QCOMPARE(doc.entries.text(0, kExtra1), std::string("7"));
        QCOMPARE(doc.entries.text(0, kExtra2), std::string("x"));
        // "No": stays old-format, byte for byte
        QCOMPARE(serializeVocabulary(doc, false), bytes);
        // "Yes": gains the header of the current description
        const std::string upgraded = serializeVocabulary(doc, true);
        QVERIFY(startsWithFormatLine(upgraded));
        Vocabulary again = load(upgraded);
        QVERIFY(again.currentFormat);
        QCOMPARE(again.header.title, std::string("kept"));
        QCOMPARE(again.entries.text(1, kAnswer), std::string("Baum"));
    }

    // Cases in tests/data/lut/<case>/: input.lut is read (no input.lut: a new vocabulary),
    // read.txt lists what was read, written.lut is what a save in the file's own format
    // writes; writing that file again writes it unchanged. Files the writer never produces
    // load as far as they go and never read past the data.
    void readAndWriteCases_data() {
        QTest::addColumn<QString>("folder");
        const QDir cases(QStringLiteral(LEXANTA_TEST_DATA "/lut"));
        const QStringList names = cases.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QVERIFY(!names.isEmpty());
        for (const QString& name : names)
            QTest::newRow(qPrintable(name)) << QStringLiteral("lut/") + name + QLatin1Char('/');
    }
    void readAndWriteCases() {
        QFETCH(QString, folder);
        const auto file = [&](const char* name) { return folder + QLatin1String(name); };
        Vocabulary doc;
        const bool isNew =
            !QFile::exists(QStringLiteral(LEXANTA_TEST_DATA "/") + file("input.lut"));
        if (!isNew)
            QVERIFY(readVocabulary(readData(file("input.lut")), doc));
        QCOMPARE(describe(doc), readData(file("read.txt")));
        const std::string written = serializeVocabulary(doc, isNew || doc.currentFormat);
        QCOMPARE(written, readData(file("written.lut")));
        QCOMPARE(inPieces(doc, isNew || doc.currentFormat), written);
        const Vocabulary again = load(written);
        QCOMPARE(serializeVocabulary(again, again.currentFormat), written);
    }

    // Large lists are written in pieces: long runs of blocks where they lie, the rest gathered.
    void writtenInPiecesAsWhole_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("reversed"); // blocks out of file order: one short run each
        QTest::addColumn<int>("editEvery"); // entries written since the load
        QTest::addColumn<int>("merged");    // entries merged after them (blocks in the arena)
        QTest::newRow("as read") << 200000 << false << 0 << 0;
        QTest::newRow("reversed") << 200000 << true << 0 << 0;
        QTest::newRow("some edited") << 200000 << false << 7 << 0;
        QTest::newRow("edited, merged") << 20000 << false << 3 << 5000;
        QTest::newRow("reversed, merged") << 20000 << true << 0 << 5000;
        QTest::newRow("one entry") << 1 << false << 0 << 0;
    }
    void writtenInPiecesAsWhole() {
        QFETCH(int, entries);
        QFETCH(bool, reversed);
        QFETCH(int, editEvery);
        QFETCH(int, merged);
        const auto block = [](const std::string& question, const char* answer) {
            return "\r\n" + question + "\r\ncomment\r\n" + answer + "\r\n1\r\n2";
        };
        std::string bytes = "0";
        for (int e = 0; e < entries; ++e)
            bytes += block("question " + std::to_string(e), "answer");
        Vocabulary doc = load(bytes);
        // What the file holds afterwards, written here entry by entry.
        std::string expected = "0";
        for (int r = 0; r < entries; ++r)
            expected += block("question " + std::to_string(reversed ? entries - 1 - r : r),
                              editEvery > 0 && r % editEvery == 0 ? "edited line" : "answer");
        std::string more = "0";
        for (int m = 0; m < merged; ++m)
            more += block("merged " + std::to_string(m), "answer");
        expected += more.substr(1);
        if (reversed) {
            std::vector<int> order(static_cast<std::size_t>(entries));
            for (int e = 0; e < entries; ++e)
                order[static_cast<std::size_t>(e)] = entries - 1 - e;
            doc.entries.reorder(0, order);
        }
        for (int e = 0; editEvery > 0 && e < entries; e += editEvery)
            doc.entries.setText(e, kAnswer, "edited\nline");
        if (merged > 0)
            QCOMPARE(mergeEntries(more, doc.entries), merged);
        QCOMPARE(serializeVocabulary(doc, false), expected);
        QCOMPARE(inPieces(doc, false), serializeVocabulary(doc, false));
        QCOMPARE(inPieces(doc, true), serializeVocabulary(doc, true));
    }

    void trailingRow_data() {
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<bool>("dropped");
        QTest::newRow("blank") << QString() << QString() << QString() << true;
        QTest::newRow("comment only") << QString() << QString() << QString("note") << true;
        QTest::newRow("question only") << QString("q") << QString() << QString() << false;
        QTest::newRow("answer only") << QString() << QString("a") << QString() << false;
    }
    void trailingRow() {
        QFETCH(QString, question);
        QFETCH(QString, answer);
        QFETCH(QString, comment);
        QFETCH(bool, dropped);
        EntryTable t;
        t.setEntryCount(2);
        t.setText(0, kQuestion, "first");
        t.setText(1, kQuestion, question.toStdString());
        t.setText(1, kAnswer, answer.toStdString());
        t.setText(1, kComment, comment.toStdString());
        QCOMPARE(dropTrailingBlankEntry(t), dropped);
        QCOMPARE(t.entryCount(), dropped ? 1 : 2);
    }

    void fontLines_data() {
        QTest::addColumn<QString>("style");
        QTest::addColumn<bool>("bold");
        QTest::newRow("1 sets") << "1" << true;
        QTest::newRow("2 clears") << "2" << false;
        QTest::newRow("blank-padded 1 sets") << "  1" << true;
        QTest::newRow("junk clears") << "x" << false;
    }
    void fontLines() {
        QFETCH(QString, style);
        QFETCH(bool, bold);
        std::vector<std::string> lines = headerLines();
        lines[11] = "8388608";
        lines[12] = style.toStdString();
        lines[10] = std::string(40, 'F');
        lines[23] = "460"; // low byte: 204
        const Vocabulary doc = load(fileWithOneEntry(lines));
        QCOMPARE(doc.header.fonts[0].bold, bold);
        QCOMPARE(doc.header.fonts[0].color, kColorNavy);
        QCOMPARE(doc.header.fonts[0].face, std::string(31, 'F'));
        QCOMPARE(doc.header.fonts[1].charset, 204);
    }

    void fontSizeHeldToRange_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("size");
        QTest::newRow("30") << "30" << 24;
        QTest::newRow("3") << "3" << 6;
        QTest::newRow("no digits") << "abc" << 6;
        QTest::newRow("huge") << "99999999999999999999" << 24;
    }
    void fontSizeHeldToRange() {
        QFETCH(QString, line);
        QFETCH(int, size);
        std::vector<std::string> lines = headerLines();
        lines[9] = line.toStdString();
        QCOMPARE(load(fileWithOneEntry(lines)).header.fontSize, size);
    }

    // A field holding a line break must not shift the entries after it.
    void lineBreakInFieldKeepsLayout() {
        Vocabulary doc;
        doc.entries.setEntryCount(2);
        doc.entries.setText(0, kQuestion, "two\r\nlines");
        doc.entries.setText(0, kAnswer, "lone\nfeed");
        doc.entries.setText(1, kQuestion, "next");
        const Vocabulary back = load(serializeVocabulary(doc, true));
        QCOMPARE(back.entries.entryCount(), 2);
        QCOMPARE(back.entries.text(0, kQuestion), std::string("two lines"));
        QCOMPARE(back.entries.text(0, kAnswer), std::string("lone feed"));
        QCOMPARE(back.entries.text(1, kQuestion), std::string("next"));
    }

    // Any file with clean cells comes back byte for byte after a load and a save.
    void roundTripRandomFiles() {
        QRandomGenerator rng(1234);
        auto word = [&rng](bool allowEmpty) {
            const int length = static_cast<int>(rng.bounded(allowEmpty ? 0 : 1, 12));
            std::string w;
            for (int i = 0; i < length; ++i) {
                char c = static_cast<char>(rng.bounded(33, 256));
                if (c == '\x7f')
                    c = 'x';
                w.push_back(c);
            }
            if (!w.empty() && static_cast<unsigned char>(w.back()) <= 32)
                w.back() = 'z';
            return w;
        };
        for (int round = 0; round < 300; ++round) {
            const bool current = round % 3 != 0;
            std::vector<std::string> lines;
            if (current) {
                lines = headerLines();
                for (int i = 1; i <= 5; ++i)
                    lines[i] = word(true);
                lines.pop_back();
            }
            lines.push_back(std::to_string(rng.bounded(1000)));
            const int entries = static_cast<int>(rng.bounded(1, 30));
            for (int e = 0; e < entries; ++e) {
                lines.push_back(word(e + 1 < entries));
                lines.push_back(word(true));
                lines.push_back(word(e + 1 < entries));
                lines.push_back(word(false));
                lines.push_back(word(false));
            }
            const std::string bytes = joinLines(lines);
            const Vocabulary doc = load(bytes);
            QCOMPARE(doc.currentFormat, current);
            QCOMPARE(doc.entries.entryCount(), entries);
            QCOMPARE(serializeVocabulary(doc, current), bytes);
        }
    }

    // The old format's first line is the counter line: one that reads as the format line would
    // turn the saved file into a current-format one.
    void formatLineAloneStaysOldFormat() {
        const Vocabulary doc = load("Vocabulary Format 1");
        QVERIFY(!doc.currentFormat);
        const std::string bytes = serializeVocabulary(doc, false);
        QVERIFY(!startsWithFormatLine(bytes));
        const Vocabulary again = load(bytes);
        QVERIFY(!again.currentFormat);
        QCOMPARE(again.entries.entryCount(), 1);
        QCOMPARE(again.counterLine, std::string("0\n"));
    }

    // Counts from the file are checked before they become entry numbers.
    void tooManyEntriesAreRefused() {
        EntryTable full;
        full.setEntryCount(EntryTable::kMaxEntries); // empty entries cost nothing
        std::string error;
        QCOMPARE(mergeEntries(readData("animals.lut"), full, &error), 0);
        QCOMPARE(error, std::string("too many entries: 2, at most 0"));
        QCOMPARE(full.entryCount(), EntryTable::kMaxEntries);

        // 10 GiB of line ends: 2^31 entry blocks after the counter line.
        const test::RepeatedBytes lines('\n', std::size_t(10) << 30);
        QVERIFY(!lines.view().empty());
        Vocabulary doc;
        doc.header.title = "kept";
        QVERIFY(!readVocabulary(lines.view(), doc, &error));
        QCOMPARE(error, std::string("too many entries: 2147483648, at most 2147483646"));
        QCOMPARE(doc.header.title, std::string("kept"));
        QCOMPARE(doc.entries.entryCount(), 1);
    }

    void loadReportsProgress() {
        std::string bytes = readData("animals.lut");
        for (int i = 0; i < 300'000; ++i)
            bytes += "\r\nword\r\n\r\nWort\r\n0\r\n0";
        std::vector<std::pair<long long, long long>> seen;
        Vocabulary doc;
        QVERIFY(readVocabulary(bytes, doc, nullptr, [&](long long done, long long total) {
            seen.push_back({done, total});
        }));
        QCOMPARE(doc.entries.entryCount(), 300'002);
        QVERIFY(seen.size() > 1);
        for (std::size_t i = 1; i < seen.size(); ++i)
            QVERIFY(seen[i].first > seen[i - 1].first && seen[i].second == seen[0].second);
        QCOMPARE(seen.back().first, seen.back().second);
    }

    void mergeAppends_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("added");
        QTest::newRow("current format") << QByteArray::fromStdString(readData("animals.lut")) << 2;
        QTest::newRow("old format: entries after its first line")
            << QByteArray::fromStdString(readData("old_format.lut")) << 2;
        QTest::newRow("empty file") << QByteArray() << 0;
    }
    void mergeAppends() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, added);
        EntryTable t;
        t.setEntryCount(3);
        for (int i = 0; i < 3; ++i)
            t.setText(i, kQuestion, "own" + std::to_string(i + 1));
        QCOMPARE(mergeEntries(bytes.toStdString(), t), added);
        QCOMPARE(t.entryCount(), 3 + added);
        QCOMPARE(t.text(2, kQuestion), std::string("own3"));
        if (added == 2) {
            QVERIFY(!t.text(3, kQuestion).empty());
            QCOMPARE(t.text(4, kExtra2), std::string("0"));
        }
    }
};

QTEST_APPLESS_MAIN(TestLutFormat)
#include "test_lut_format.moc"
