#include "core/listops/shuffle_swap.h"
#include "support/recording_observer.h"

#include <QTest>

#include <random>
#include <string>
#include <vector>

using namespace lexanta;

namespace {

void fillNumbered(EntryTable& table, int entries) {
    table.setEntryCount(entries);
    for (int i = 0; i < entries; ++i)
        for (int f = 0; f < kFieldCount; ++f)
            table.setText(i, f, std::to_string(f) + ":" + std::to_string(i));
}

std::vector<Entry> contents(const EntryTable& table) {
    std::vector<Entry> entries;
    for (int i = 0; i < table.entryCount(); ++i)
        entries.push_back(table.entry(i).toEntry());
    return entries;
}

} // namespace

class TestShuffleSwap : public QObject {
    Q_OBJECT

private slots:
    // The shuffle is the documented pass of exchanges driven by std::minstd_rand.
    void shuffleFollowsTheExchangePass_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<unsigned>("seed");
        QTest::newRow("one entry") << 1 << 5u;
        QTest::newRow("two entries") << 2 << 1u;
        QTest::newRow("seed 0") << 50 << 0u;
        QTest::newRow("clock-like seed") << 1000 << 1718000000u;
        QTest::newRow("beyond 32768 entries") << 70000 << 42u;
    }
    void shuffleFollowsTheExchangePass() {
        QFETCH(int, entries);
        QFETCH(unsigned, seed);
        EntryTable table;
        fillNumbered(table, entries);
        std::vector<Entry> expected = contents(table);
        std::minstd_rand random(seed);
        for (int i = 0; i < entries; ++i) {
            const int r = static_cast<int>(random() % static_cast<unsigned>(entries));
            std::swap(expected[static_cast<std::size_t>(i)], expected[static_cast<std::size_t>(r)]);
        }
        randomizeEntries(table, seed);
        QCOMPARE(table.entryCount(), entries);
        QVERIFY(contents(table) == expected);
        for (const Entry& e : contents(table)) // whole entries moved
            for (int c = kAnswer; c < kFieldCount; ++c)
                QCOMPARE(e[c].substr(2), e[kQuestion].substr(2));
    }

    void swapExchangesQuestionAndAnswerOnly() {
        EntryTable table;
        fillNumbered(table, 4);
        table.setText(1, kQuestion, "");
        const std::vector<Entry> before = contents(table);
        swapQuestionAnswerCells(table);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(table.text(i, kQuestion), before[i][kAnswer]);
            QCOMPARE(table.text(i, kAnswer), before[i][kQuestion]);
            for (int c = kComment; c < kFieldCount; ++c)
                QCOMPARE(table.text(i, c), before[i][c]);
        }
        swapQuestionAnswerCells(table);
        QVERIFY(contents(table) == before);
    }

    // Observers hear of the rewritten entries once, and none is inserted or removed.
    void swapTellsTheObserver() {
        test::RecordingObserver recorder;
        EntryTable table;
        fillNumbered(table, 10);
        table.setObserver(&recorder);
        swapQuestionAnswerCells(table);
        QCOMPARE(recorder.notices, (std::vector<std::pair<int, int>>{{0, 9}}));
        table.setObserver(nullptr);
    }
};

QTEST_APPLESS_MAIN(TestShuffleSwap)
#include "test_shuffle_swap.moc"
