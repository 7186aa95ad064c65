#include "core/interchange/special_import.h"
#include "support/recording_observer.h"

#include <QTest>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace lexanta;

namespace {

// question, answer, comment
using Fields = std::array<std::string, 3>;
using Rows = std::vector<Fields>;

// A vocabulary file: 31 header lines and the counter line (or only the counter line for the
// old format), then blocks of question, comment, answer, "0", "0".
std::string makeSource(const Rows& entries, bool withHeader = true, std::string_view eol = "\r\n") {
    std::string out;
    if (withHeader) {
        out += "Vocabulary Format 1";
        out += eol;
        for (int i = 2; i <= 31; ++i) {
            out += "header line " + std::to_string(i);
            out += eol;
        }
    }
    out += "0";
    for (const Fields& e : entries)
        for (const std::string& line : {e[0], e[2], e[1], std::string("0"), std::string("0")}) {
            out += eol;
            out += line;
        }
    return out;
}

EntryTable makeGrid(const Rows& rows) {
    EntryTable grid;
    grid.setEntryCount(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i)
        grid.setEntry(static_cast<int>(i), Entry{{rows[i][0], rows[i][1], rows[i][2], "7", "8"}});
    return grid;
}

void compareGrid(const EntryTable& grid, const Rows& expected) {
    const EntryTable want = makeGrid(expected);
    QCOMPARE(grid.entryCount(), want.entryCount());
    for (int i = 0; i < want.entryCount(); ++i)
        QVERIFY2(grid.entry(i) == want.entry(i), qPrintable(QString("entry %1").arg(i)));
}

bool latinEqual(const std::string& a, const std::string& b) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return fold(x) == fold(y); });
}

// The plain per-entry scan of the source in file order: the reference for the index.
FillResult fillFromVocabularyByScan(EntryTable& grid, const Rows& source) {
    FillResult result;
    result.sourceEntries = static_cast<int>(source.size());
    for (int i = 0; i < grid.entryCount(); ++i) {
        const std::string question(grid.text(i, kQuestion));
        if (question.empty())
            continue;
        for (const Fields& s : source) {
            if (!latinEqual(s[0], question))
                continue;
            if (grid.text(i, kAnswer).empty() && !s[1].empty()) {
                grid.setText(i, kAnswer, s[1]);
                ++result.answersFilled;
            }
            if (grid.text(i, kComment).empty() && !s[2].empty()) {
                grid.setText(i, kComment, s[2]);
                ++result.commentsFilled;
            }
            break;
        }
    }
    return result;
}

} // namespace

Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(Fields)

class TestSpecialImport : public QObject {
    Q_OBJECT

private slots:
    void fills_data();
    void fills();
    void sourceLayout_data();
    void sourceLayout();
    void noFixedLimitOnSourceEntries();
    void indexGivesTheResultsOfTheScan_data();
    void indexGivesTheResultsOfTheScan();
    void observerHearsOnce();
};

void TestSpecialImport::fills_data() {
    QTest::addColumn<Rows>("grid");
    QTest::addColumn<Rows>("source");
    QTest::addColumn<Rows>("expected");
    QTest::addColumn<int>("answers");
    QTest::addColumn<int>("comments");

    const Rows catDog{{"cat", "Katze", "kat"}, {"dog", "Hund", "dog"}};
    QTest::newRow("only empty cells are filled")
        << Rows{{"cat", "Mieze", "k"}, {"cat", "", "mine"}, {"dog", "mine", ""}, {"dog", "", ""}}
        << catDog
        << Rows{{"cat", "Mieze", "k"},
                {"cat", "Katze", "mine"},
                {"dog", "mine", "dog"},
                {"dog", "Hund", "dog"}}
        << 2 << 2;
    QTest::newRow("a blank is not empty")
        << Rows{{"cat", " ", ""}} << catDog << Rows{{"cat", " ", "kat"}} << 0 << 1;
    QTest::newRow("first of two source entries wins, even when it leaves a cell empty")
        << Rows{{"cat", "", ""}} << Rows{{"cat", "Katze", ""}, {"cat", "Mieze", "kat"}}
        << Rows{{"cat", "Katze", ""}} << 1 << 0;
    QTest::newRow("Latin case differences match")
        << Rows{{"Cat", "", ""}, {"DOG", "", ""}} << Rows{{"cAT", "Katze", ""}, {"dog", "Hund", ""}}
        << Rows{{"Cat", "Katze", ""}, {"DOG", "Hund", ""}} << 2 << 0;
    // Windows-1251 К (0xCA) and к (0xEA), Windows-1252 À (0xC0) and à (0xE0): only A-Z fold.
    QTest::newRow("Cyrillic and accented case differences do not match")
        << Rows{{"\xCA\xEE\xF2", "", ""}, {"\xEA\xEE\xF2", "", ""}, {"\xC0 la", "", ""}}
        << Rows{{"\xEA\xEE\xF2", "cat", ""}, {"\xE0 la", "x", ""}}
        << Rows{{"\xCA\xEE\xF2", "", ""}, {"\xEA\xEE\xF2", "cat", ""}, {"\xC0 la", "", ""}} << 1
        << 0;
    QTest::newRow("a blank before or after does not match")
        << Rows{{"cat ", "", ""}, {" dog", "", ""}} << catDog
        << Rows{{"cat ", "", ""}, {" dog", "", ""}} << 0 << 0;
    QTest::newRow("source entry with an empty answer sets nothing visible")
        << Rows{{"cat", "", ""}} << Rows{{"cat", "", "kat"}} << Rows{{"cat", "", "kat"}} << 0 << 1;
    QTest::newRow("trailing blank row stays blank, even against an empty source question")
        << Rows{{"cat", "", ""}, {"", "", ""}}
        << Rows{{"", "nothing", "none"}, {"cat", "Katze", ""}}
        << Rows{{"cat", "Katze", ""}, {"", "", ""}} << 1 << 0;
    QTest::newRow("empty source") << Rows{{"cat", "", ""}} << Rows{} << Rows{{"cat", "", ""}} << 0
                                  << 0;
}

void TestSpecialImport::fills() {
    QFETCH(Rows, grid);
    QFETCH(Rows, source);
    QFETCH(Rows, expected);
    QFETCH(int, answers);
    QFETCH(int, comments);
    EntryTable table = makeGrid(grid);
    const FillResult result = fillFromVocabulary(table, makeSource(source));
    QCOMPARE(result.sourceEntries, static_cast<int>(source.size()));
    QVERIFY(!result.sourceOldFormat);
    QCOMPARE(result.answersFilled, answers);
    QCOMPARE(result.commentsFilled, comments);
    compareGrid(table, expected);
}

void TestSpecialImport::sourceLayout_data() {
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<int>("entries");
    QTest::addColumn<bool>("oldFormat");
    QTest::addColumn<Fields>("cat"); // what the grid's "cat" row becomes
    const Rows animals{{"dog", "Hund", "d"}, {"cat", "Katze", "kat"}};
    const Fields filled{"cat", "Katze", "kat"}, unfilled{"cat", "", ""};
    const std::string longText(5000, 'x');
    auto row = [](const std::string& s) { return QByteArray::fromStdString(s); };
    QTest::newRow("LF line ends") << row(makeSource(animals, true, "\n")) << 2 << false << filled;
    QTest::newRow("line end after the last line adds no entry")
        << row(makeSource(animals) + "\r\n") << 2 << false << filled;
    QTest::newRow("old format: entries follow the first line")
        << row(makeSource(animals, false)) << 2 << true << filled;
    QTest::newRow("format line without a line end is not the current format")
        << QByteArray("Vocabulary Format 1") << 0 << true << unfilled;
    QTest::newRow("over-long lines keep later entries in step")
        << row(makeSource({{longText, longText, longText}, {"cat", "Katze", "kat"}})) << 2 << false
        << filled;
    QTest::newRow("file ending inside an entry block")
        << row(makeSource({{"dog", "Hund", ""}}) + "\r\ncat\r\nkat") << 2 << false
        << Fields{"cat", "", "kat"};
    QTest::newRow("file ending inside the header")
        << QByteArray("Vocabulary Format 1\r\nEnglish\r\n") << 0 << false << unfilled;
    QTest::newRow("empty file") << QByteArray() << 0 << true << unfilled;
}

void TestSpecialImport::sourceLayout() {
    QFETCH(QByteArray, source);
    QFETCH(int, entries);
    QFETCH(bool, oldFormat);
    QFETCH(Fields, cat);
    EntryTable grid = makeGrid({{"cat", "", ""}});
    const FillResult result = fillFromVocabulary(grid, source.toStdString());
    QCOMPARE(result.sourceEntries, entries);
    QCOMPARE(result.sourceOldFormat, oldFormat);
    compareGrid(grid, {cat});
}

void TestSpecialImport::noFixedLimitOnSourceEntries() {
    Rows source;
    for (int i = 0; i < 50000; ++i)
        source.push_back({"w" + std::to_string(i), "a" + std::to_string(i), ""});
    EntryTable grid = makeGrid({{"w45000", "", ""}, {"W49999", "", ""}, {"w3", "", ""}});
    const FillResult result = fillFromVocabulary(grid, makeSource(source));
    QCOMPARE(result.sourceEntries, 50000);
    compareGrid(grid, {{"w45000", "a45000", ""}, {"W49999", "a49999", ""}, {"w3", "a3", ""}});
}

void TestSpecialImport::indexGivesTheResultsOfTheScan_data() {
    QTest::addColumn<unsigned>("seed");
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u})
        QTest::addRow("seed %u", seed) << seed;
}

void TestSpecialImport::indexGivesTheResultsOfTheScan() {
    QFETCH(unsigned, seed);
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    // A small alphabet of stems gives many duplicates; case changes give Latin variants, the
    // high bytes give questions that must not fold.
    const std::vector<std::string> stems{"cat", "Dog", "b\xEA", "B\xCA", "", "x y", "x y ", "owl"};
    auto question = [&] {
        std::string q = stems[pick(static_cast<int>(stems.size()))] + std::to_string(pick(6));
        for (char& c : q)
            if (c >= 'a' && c <= 'z' && pick(3) == 0)
                c = static_cast<char>(c - 'a' + 'A');
        return pick(20) == 0 ? std::string() : q;
    };
    auto maybe = [&](const std::string& text) { return pick(3) == 0 ? std::string() : text; };

    Rows source;
    const int sourceSize = 50 + pick(400);
    for (int i = 0; i < sourceSize; ++i)
        source.push_back(
            {question(), maybe("a" + std::to_string(i)), maybe("c" + std::to_string(i))});
    Rows rows;
    const int gridSize = 1 + pick(300);
    for (int i = 0; i < gridSize; ++i)
        rows.push_back(
            {question(), maybe("A" + std::to_string(i)), maybe("C" + std::to_string(i))});

    EntryTable byIndex = makeGrid(rows);
    EntryTable byScan = makeGrid(rows);
    const FillResult fast = fillFromVocabulary(byIndex, makeSource(source));
    const FillResult slow = fillFromVocabularyByScan(byScan, source);
    QCOMPARE(fast.sourceEntries, slow.sourceEntries);
    QCOMPARE(fast.answersFilled, slow.answersFilled);
    QCOMPARE(fast.commentsFilled, slow.commentsFilled);
    QVERIFY(slow.answersFilled + slow.commentsFilled > 0); // the data exercises the fill
    QCOMPARE(byIndex.entryCount(), byScan.entryCount());
    for (int i = 0; i < byScan.entryCount(); ++i)
        QVERIFY2(byIndex.entry(i) == byScan.entry(i), qPrintable(QString("entry %1").arg(i)));
}

void TestSpecialImport::observerHearsOnce() {
    EntryTable grid = makeGrid({{"x", "", ""}, {"cat", "", ""}, {"y", "", ""}, {"dog", "", ""}});
    test::RecordingObserver recorder;
    grid.setObserver(&recorder);
    fillFromVocabulary(grid, makeSource({{"cat", "Katze", ""}, {"dog", "Hund", ""}}));
    fillFromVocabulary(grid, makeSource({{"bird", "Vogel", ""}})); // changes nothing
    QCOMPARE(recorder.notices, (std::vector<std::pair<int, int>>{{1, 3}}));
}

QTEST_APPLESS_MAIN(TestSpecialImport)
#include "test_special_import.moc"
