#include "listops/shuffle_swap.h"
#include "support/recording_observer.h"

#include <QTest>

#include <random>
#include <string>
#include <vector>

using namespace lexanta;

namespace {

void fillNumbered(EntryTable& table, int entries) {
    table.setRowCount(entries + 1);
    for (int r = 1; r <= entries; ++r)
        for (int c = 1; c <= kStoredColumns; ++c)
            table.setCell(c, r, std::to_string(c) + ":" + std::to_string(r));
}

std::vector<Entry> contents(const EntryTable& table) {
    std::vector<Entry> rows;
    for (int r = 1; r < table.rowCount(); ++r)
        rows.push_back(table.entry(r).toEntry());
    return rows;
}

} // namespace

class TestShuffleSwap : public QObject {
    Q_OBJECT

private slots:
    // The shuffle is the documented pass of exchanges driven by std::minstd_rand.
    void shuffleFollowsTheExchangePass_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<unsigned>("seed");
        QTest::newRow("one row") << 1 << 5u;
        QTest::newRow("two rows") << 2 << 1u;
        QTest::newRow("seed 0") << 50 << 0u;
        QTest::newRow("clock-like seed") << 1000 << 1718000000u;
        QTest::newRow("beyond 32768 rows") << 70000 << 42u;
    }
    void shuffleFollowsTheExchangePass() {
        QFETCH(int, entries);
        QFETCH(unsigned, seed);
        EntryTable expected;
        fillNumbered(expected, entries);
        std::minstd_rand random(seed);
        for (int i = 1; i <= entries; ++i) {
            const int r = 1 + static_cast<int>(random() % static_cast<unsigned>(entries));
            expected.exchangeRows(i, r);
        }
        EntryTable table;
        fillNumbered(table, entries);
        randomizeEntries(table, seed);
        QCOMPARE(table.rowCount(), entries + 1);
        QVERIFY(contents(table) == contents(expected));
        for (const Entry& e : contents(table)) // whole entries moved
            for (int c = 2; c <= kStoredColumns; ++c)
                QCOMPARE(e[c].substr(2), e[kQuestion].substr(2));
    }

    void swapExchangesQuestionAndAnswerOnly() {
        EntryTable table;
        fillNumbered(table, 4);
        table.setCell(kQuestion, 2, "");
        const std::vector<Entry> before = contents(table);
        swapQuestionAnswerCells(table);
        for (int r = 1; r <= 4; ++r) {
            QCOMPARE(table.cell(kQuestion, r), before[r - 1][kAnswer]);
            QCOMPARE(table.cell(kAnswer, r), before[r - 1][kQuestion]);
            for (int c = 3; c <= kStoredColumns; ++c)
                QCOMPARE(table.cell(c, r), before[r - 1][c]);
        }
        swapQuestionAnswerCells(table);
        QVERIFY(contents(table) == before);
    }

    // Observers hear of the rewritten rows once, and no row is inserted or removed.
    void swapTellsTheObserver() {
        test::RecordingObserver recorder;
        EntryTable table;
        fillNumbered(table, 10);
        table.setObserver(&recorder);
        swapQuestionAnswerCells(table);
        QCOMPARE(recorder.notices, (std::vector<std::pair<int, int>>{{1, 10}}));
        table.setObserver(nullptr);
    }
};

QTEST_APPLESS_MAIN(TestShuffleSwap)
#include "test_shuffle_swap.moc"
