#include "listops/search.h"
#include "platform/codepage.h"

#include <QTest>

#include <string>
#include <vector>

using namespace lexanta;

namespace {

EntryTable tableOf(const std::vector<std::string>& cells, int column) {
    EntryTable table;
    table.setRowCount(static_cast<int>(cells.size()) + 1);
    for (std::size_t i = 0; i < cells.size(); ++i)
        table.setCell(column, static_cast<int>(i + 1), cells[i]);
    return table;
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT

private slots:
    void wholeWordAndSubstring_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<bool>("matches");
        const auto row = [](const char* name, const char* cell, const char* what, bool wholeWord,
                            bool matches) {
            QTest::newRow(name) << QString(cell) << QString(what) << wholeWord << matches;
        };
        row("equal text", "cat", "cat", true, true);
        row("inside a word, substring", "concat", "cat", false, true);
        row("inside a word, whole word", "concat", "cat", true, false);
        row("later occurrence stands alone", "concat cat", "cat", true, true);
        row("later occurrence before a stop", "concat catalog cat.", "cat", true, true);
        row("digits separate", "1cat2", "cat", true, true);
        row("separators at the range edges: @ [", "@cat[", "cat", true, true);
        row("separators at the range edges: ` {", "`cat{", "cat", true, true);
        row("separators at the range edges: blank ~", " cat~", "cat", true, true);
        row("tab before does not separate", "\tcat", "cat", true, false);
        row("tab after does not separate", "cat\t", "cat", true, false);
        row("letter above 127 does not separate", "écat", "cat", true, false);
        row("DEL does not separate", "cat\x7f", "cat", true, false);
        row("overlapping occurrences", "aaa aa", "aa", true, true);
        row("empty text never matches", "anything", "", false, false);
        row("empty text, empty cell", "", "", true, false);
    }
    void wholeWordAndSubstring() {
        QFETCH(QString, cell);
        QFETCH(QString, what);
        QFETCH(bool, wholeWord);
        QFETCH(bool, matches);
        QCOMPARE(cellMatches(cell, what, wholeWord), matches);
    }

    void findRowHonoursCaseAndCodePage_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("found");
        // rows: 1 "Dog house", 2 "КОТ и пёс", 3 "hot dog", 4 "кот", 5 "concat cat"
        QTest::newRow("case off finds upper case") << "dog" << false << true << 1 << 1;
        QTest::newRow("case on skips upper case") << "dog" << true << true << 1 << 3;
        QTest::newRow("start row is honoured") << "dog" << false << true << 2 << 3;
        QTest::newRow("cyrillic case folded") << QStringLiteral("кот") << false << true << 1 << 2;
        QTest::newRow("cyrillic match case") << QStringLiteral("кот") << true << true << 1 << 4;
        QTest::newRow("cyrillic ё") << QStringLiteral("ПЁС") << false << true << 1 << 2;
        QTest::newRow("whole word mend") << "cat" << false << true << 1 << 5;
        QTest::newRow("nothing below") << "dog" << false << false << 4 << -1;
        QTest::newRow("empty text") << "" << false << false << 1 << -1;
    }
    void findRowHonoursCaseAndCodePage() {
        QFETCH(QString, what);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        QFETCH(int, start);
        QFETCH(int, found);
        const EntryTable table = tableOf({"Dog house", "\xCA\xCE\xD2 \xE8 \xEF\xB8\xF1", "hot dog",
                                          "\xEA\xEE\xF2", "concat cat"},
                                         kAnswer);
        const FindOptions options{matchCase, wholeWord};
        QCOMPARE(findRow(table, kAnswer, start, what, options, CodePage::get(1251)), found);
        // only the given column is searched
        QCOMPARE(findRow(table, kComment, 1, what, options, CodePage::get(1251)), -1);
    }

    // SearchNext's walk: start row, end message, and restart at row 1.
    void searchNextSequence() {
        const EntryTable table = tableOf({"cat", "dog", "cat", "bird", "cat"}, kQuestion);
        const CodePage& cp = CodePage::get(1252);
        const FindOptions options;
        SearchState state;
        int current = 1;
        auto step = [&](const QString& what) {
            const SearchOutcome out =
                searchNext(state, table, kQuestion, current, what, options, cp);
            if (out.foundRow >= 0)
                current = out.foundRow;
            return out;
        };
        // current row 1 differs from LastFoundRow 0: the row itself is searched
        SearchOutcome out = step("cat");
        QCOMPARE(out.foundRow, 1);
        QVERIFY(!out.endOfList);
        out = step("cat");
        QCOMPARE(out.foundRow, 3);
        QVERIFY(!out.endOfList);
        // a match in the last entry row is selected and reported
        out = step("cat");
        QCOMPARE(out.foundRow, 5);
        QVERIFY(out.endOfList);
        QVERIFY(state.endReached);
        // after the end message the search restarts at row 1
        out = step("cat");
        QCOMPARE(out.foundRow, 1);
        QVERIFY(!state.endReached);
        // the user moves to row 4: the search starts at that row itself
        current = 4;
        out = step("bird");
        QCOMPARE(out.foundRow, 4);
        // no match anywhere: end message, selection stays, LastFoundRow takes the current row
        out = step("fish");
        QCOMPARE(out.foundRow, -1);
        QVERIFY(out.endOfList);
        QCOMPARE(state.lastFoundRow, 4);
        QCOMPARE(state.startRow(2), 1);
    }
};

QTEST_APPLESS_MAIN(TestSearch)
#include "test_search.moc"
