#include "core/listops/search.h"
#include "platform/codepage.h"

#include <QTest>

#include <string>
#include <vector>

using namespace lexanta;

namespace {

EntryTable tableOf(const std::vector<std::string>& cells, int field) {
    EntryTable table;
    table.setEntryCount(static_cast<int>(cells.size()));
    for (std::size_t i = 0; i < cells.size(); ++i)
        table.setText(static_cast<int>(i), field, cells[i]);
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

    void findEntryHonoursCaseAndCodePage_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("found");
        // entries: 0 "Dog house", 1 "КОТ и пёс", 2 "hot dog", 3 "кот", 4 "concat cat"
        QTest::newRow("case off finds upper case") << "dog" << false << true << 0 << 0;
        QTest::newRow("case on skips upper case") << "dog" << true << true << 0 << 2;
        QTest::newRow("start entry is honoured") << "dog" << false << true << 1 << 2;
        QTest::newRow("cyrillic case folded") << QStringLiteral("кот") << false << true << 0 << 1;
        QTest::newRow("cyrillic match case") << QStringLiteral("кот") << true << true << 0 << 3;
        QTest::newRow("cyrillic ё") << QStringLiteral("ПЁС") << false << true << 0 << 1;
        QTest::newRow("whole word mend") << "cat" << false << true << 0 << 4;
        QTest::newRow("nothing below") << "dog" << false << false << 3 << -1;
        QTest::newRow("empty text") << "" << false << false << 0 << -1;
    }
    void findEntryHonoursCaseAndCodePage() {
        QFETCH(QString, what);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        QFETCH(int, start);
        QFETCH(int, found);
        const EntryTable table = tableOf({"Dog house", "\xCA\xCE\xD2 \xE8 \xEF\xB8\xF1", "hot dog",
                                          "\xEA\xEE\xF2", "concat cat"},
                                         kAnswer);
        const FindOptions options{matchCase, wholeWord};
        QCOMPARE(findEntry(table, kAnswer, start, what, options, CodePage::get(1251)), found);
        // only the given field is searched
        QCOMPARE(findEntry(table, kComment, 0, what, options, CodePage::get(1251)), -1);
    }

    // SearchNext's walk: start entry, end message, and restart at the first entry.
    void searchNextSequence() {
        const EntryTable table = tableOf({"cat", "dog", "cat", "bird", "cat"}, kQuestion);
        const CodePage& cp = CodePage::get(1252);
        const FindOptions options;
        SearchState state;
        int current = 0;
        auto step = [&](const QString& what) {
            const SearchOutcome out =
                searchNext(state, table, kQuestion, current, what, options, cp);
            if (out.found >= 0)
                current = out.found;
            return out;
        };
        // before any search nothing was found: the current entry itself is searched
        SearchOutcome out = step("cat");
        QCOMPARE(out.found, 0);
        QVERIFY(!out.endOfList);
        out = step("cat");
        QCOMPARE(out.found, 2);
        QVERIFY(!out.endOfList);
        // a match in the last entry is selected and reported
        out = step("cat");
        QCOMPARE(out.found, 4);
        QVERIFY(out.endOfList);
        QVERIFY(state.endReached);
        // after the end message the search restarts at the first entry
        out = step("cat");
        QCOMPARE(out.found, 0);
        QVERIFY(!state.endReached);
        // the user moves to entry 3: the search starts at that entry itself
        current = 3;
        out = step("bird");
        QCOMPARE(out.found, 3);
        // no match anywhere: end message, selection stays, LastFoundRow takes the current entry
        out = step("fish");
        QCOMPARE(out.found, -1);
        QVERIFY(out.endOfList);
        QCOMPARE(state.lastFound, 3);
        QCOMPARE(state.startEntry(1), 0);
    }
};

QTEST_APPLESS_MAIN(TestSearch)
#include "test_search.moc"
