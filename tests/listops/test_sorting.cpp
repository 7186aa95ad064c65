#include "listops/sorting.h"
#include "platform/codepage.h"
#include "platform/collation.h"

#include <QTest>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace lexanta;

namespace {

// Entry rows with row 0 as the header, as the grid holds them.
using Rows = std::vector<Entry>;

Entry makeEntry(const std::string& key, int column, int id) {
    Entry e;
    for (int c = 1; c <= kStoredColumns; ++c)
        e[c] = "f" + std::to_string(c) + "#" + std::to_string(id);
    e[column] = key;
    return e;
}

// Entries 1..n with the given keys in `column` and their id in the other fields.
Rows rowsWithKeys(const std::vector<std::string>& keys, int column) {
    Rows rows(keys.size() + 1);
    for (std::size_t i = 0; i < keys.size(); ++i)
        rows[i + 1] = makeEntry(keys[i], column, static_cast<int>(i + 1));
    return rows;
}

void fill(EntryTable& table, const Rows& rows) {
    table.setRowCount(static_cast<int>(rows.size()));
    for (int r = 1; r < static_cast<int>(rows.size()); ++r)
        table.setEntry(r, rows[r]);
}

Rows contents(const EntryTable& table) {
    Rows rows(table.rowCount());
    for (int r = 1; r < table.rowCount(); ++r)
        rows[r] = table.entry(r).toEntry();
    return rows;
}

// The editor's partition sort and insertion sort, step by step: recursive, on whole entries, with
// the collator's string comparison.
struct ReferenceSort {
    Rows& rows;
    int column;
    const CodePage& codePage;
    const KeyCollator& collator;
    long long calls = 0;

    QString key(int r) const { return codePage.decode(rows[r][column]); }

    void insertionSort(int lo, int hi) {
        for (int i = lo + 1; i <= hi; ++i) {
            const Entry saved = rows[i];
            const QString k0 = codePage.decode(saved[column]);
            int k = i - 1;
            while (k >= lo && collator.compare(key(k), k0) > 0) {
                rows[k + 1] = rows[k];
                --k;
            }
            rows[k + 1] = saved;
        }
    }

    void partitionSort(int lo, int hi) {
        ++calls;
        if (hi - lo <= 12) {
            insertionSort(lo, hi);
            return;
        }
        const int mid = (lo + hi) / 2;
        const QString pivotKey = key(mid);
        const Entry pivot = rows[mid];
        rows[mid] = rows[lo];
        int j = lo + 1;
        int k = hi;
        for (;;) {
            while (j < k && collator.compare(pivotKey, key(j)) > 0)
                ++j;
            while (k >= j && collator.compare(key(k), pivotKey) > 0)
                --k;
            if (j >= k)
                break;
            std::swap(rows[j], rows[k]);
            --k;
            ++j;
        }
        rows[lo] = rows[k];
        rows[k] = pivot;
        if (lo < k)
            partitionSort(lo, k);
        if (j < hi)
            partitionSort(j, hi);
    }
};

// Keys with many case variants and ties; Cyrillic in Windows-1251: дом, ДОМ, Дом, елка, Ёлка, ёлка.
const QList<QByteArray> kKeyPool =
    QByteArray("|apple|Apple|APPLE|apples|banana|Banana|b|B|zebra|Zebra|x|a b|ab|10|9|"
               "\xE4\xEE\xEC|\xC4\xCE\xCC|\xC4\xEE\xEC|\xE5\xEB\xEA\xE0|\xA8\xEB\xEA\xE0|"
               "\xB8\xEB\xEA\xE0|cat|Cat|concat")
        .split('|');

} // namespace

class TestSorting : public QObject {
    Q_OBJECT

    const CodePage& cp1251() { return CodePage::get(1251); }
    KeyCollator collator_{QStringLiteral("en_US")};

    // Sorts a copy both ways; fails the test when order or call count differ.
    void checkAgainstReference(const Rows& rows, int column) {
        EntryTable table;
        fill(table, rows);
        long long progressCalls = 0;
        long long lastSeen = 0;
        bool increasing = true;
        const SortStats stats =
            sortEntries(table, column, cp1251(), collator_, [&](long long calls) {
                ++progressCalls;
                increasing = increasing && calls == lastSeen + 1;
                lastSeen = calls;
            });

        Rows expected = rows;
        ReferenceSort reference{expected, column, cp1251(), collator_};
        reference.partitionSort(1, static_cast<int>(rows.size()) - 1);

        QCOMPARE(table.rowCount(), static_cast<int>(rows.size()));
        const Rows actual = contents(table);
        for (std::size_t r = 1; r < rows.size(); ++r) {
            if (actual[r] != expected[r])
                QFAIL(qPrintable(QStringLiteral("%1 rows: row %2 differs from the reference")
                                     .arg(rows.size() - 1)
                                     .arg(r)));
        }
        QCOMPARE(stats.calls, reference.calls);
        QCOMPARE(progressCalls, stats.calls);
        QVERIFY(increasing);
    }

    Rows randomRows(std::mt19937& random, int entries, int column) {
        // A narrow pool gives long runs of equal keys, a wide one few.
        const int poolSize =
            1 + static_cast<int>(random() % static_cast<unsigned>(kKeyPool.size()));
        Rows rows(entries + 1);
        for (int r = 1; r <= entries; ++r)
            rows[r] = makeEntry(kKeyPool[random() % static_cast<unsigned>(poolSize)].toStdString(),
                                column, r);
        return rows;
    }

private slots:
    void matchesReferenceOnRandomLists() {
        std::mt19937 random(20240611);
        for (int round = 0; round < 2000; ++round) {
            const int entries = 1 + static_cast<int>(random() % 200);
            const int column = 1 + static_cast<int>(random() % 3);
            checkAgainstReference(randomRows(random, entries, column), column);
            if (QTest::currentTestFailed())
                return;
        }
    }

    void matchesReferenceOnLargerLists() {
        for (const auto& [entries, seed] : {std::pair{4099, 2u}, std::pair{10000, 3u}}) {
            std::mt19937 random(seed);
            checkAgainstReference(randomRows(random, entries, kQuestion), kQuestion);
        }
    }

    // From 20,000 rows the work is split over two cores once the partition steps have divided
    // the rows evenly. An even count of equal keys ends the first step with j == k, so both
    // halves share a row; an odd count does not.
    void matchesReferenceOnBothCores_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("poolSize"); // 0: one key in varied case
        QTest::newRow("equal keys, shared row") << 20002 << 0;
        QTest::newRow("equal keys, no shared row") << 20001 << 0;
        QTest::newRow("few keys, long runs of ties") << 30000 << 5;
        QTest::newRow("all keys of the pool") << 30000 << static_cast<int>(kKeyPool.size());
    }
    void matchesReferenceOnBothCores() {
        QFETCH(int, entries);
        QFETCH(int, poolSize);
        std::mt19937 random(static_cast<unsigned>(entries + poolSize));
        Rows rows(entries + 1);
        for (int r = 1; r <= entries; ++r) {
            const std::string key =
                poolSize == 0 ? (random() % 2 ? "same" : "SAME")
                              : kKeyPool[random() % static_cast<unsigned>(poolSize)].toStdString();
            rows[r] = makeEntry(key, kQuestion, r);
        }
        checkAgainstReference(rows, kQuestion);
    }

    // Shapes that stress the partition: ties everywhere, presorted, reversed, organ pipe.
    void matchesReferenceOnShapes_data() {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("entries");
        for (const char* shape : {"equal", "ascending", "descending", "pipe", "alternating"})
            for (int entries : {1, 2, 13, 14, 15, 27, 28, 100, 777})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(shape).arg(entries)))
                    << QString::fromLatin1(shape) << entries;
    }
    void matchesReferenceOnShapes() {
        QFETCH(QString, shape);
        QFETCH(int, entries);
        Rows rows(entries + 1);
        for (int r = 1; r <= entries; ++r) {
            int v = 0;
            if (shape == QLatin1String("ascending"))
                v = r;
            else if (shape == QLatin1String("descending"))
                v = entries - r;
            else if (shape == QLatin1String("pipe"))
                v = std::min(r, entries - r);
            else if (shape == QLatin1String("alternating"))
                v = r % 2;
            char key[16];
            std::snprintf(key, sizeof key, "k%06d", v);
            rows[r] =
                makeEntry(v % 3 == 0 ? key : QByteArray(key).toUpper().toStdString(), kQuestion, r);
        }
        checkAgainstReference(rows, kQuestion);
    }

    // Up to 13 entries insertion sort alone runs: equal keys (case variants) keep their order.
    void thirteenEntriesKeepOrderOfEqualKeys() {
        const Rows rows = rowsWithKeys(
            {"b", "B", "a", "A", "", "APPLE", "apple", "b", "Apple", "", "a", "c", "C"}, kAnswer);
        EntryTable table;
        fill(table, rows);
        const SortStats stats = sortEntries(table, kAnswer, cp1251(), collator_);
        QCOMPARE(stats.calls, 1LL);
        // ids in the sorted order: stable, empties first, whole entries moved.
        const std::vector<int> expectedIds = {5, 10, 3, 4, 11, 6, 7, 9, 1, 2, 8, 12, 13};
        for (std::size_t i = 0; i < expectedIds.size(); ++i) {
            const int r = static_cast<int>(i + 1);
            QCOMPARE(table.entry(r), rows[expectedIds[i]]);
        }
    }

    void fourteenEntriesGoThroughThePartition() {
        std::vector<std::string> keys;
        for (int r = 1; r <= 14; ++r)
            keys.push_back(r % 2 ? "same" : "SAME");
        const Rows rows = rowsWithKeys(keys, kQuestion);
        EntryTable table;
        fill(table, rows);
        const SortStats stats = sortEntries(table, kQuestion, cp1251(), collator_);
        QVERIFY(stats.calls > 1);
        // All keys tie, yet the partition moved entries: the order of equal keys is not kept.
        QVERIFY(contents(table) != rows);
        checkAgainstReference(rows, kQuestion);
    }

    void emptyKeysFirstAndCaseIgnored() {
        const Rows rows = rowsWithKeys(
            {"Zebra", "", "apple", "\xC4\xEE\xEC", "APPLE", "", "b", "\xE4\xEE\xEC", "zebra"},
            kComment);
        EntryTable table;
        fill(table, rows);
        sortEntries(table, kComment, cp1251(), collator_);
        const std::vector<std::string> expected = {
            "", "", "apple", "APPLE", "b", "Zebra", "zebra", "\xC4\xEE\xEC", "\xE4\xEE\xEC"};
        for (std::size_t i = 0; i < expected.size(); ++i)
            QCOMPARE(table.cell(kComment, static_cast<int>(i + 1)), expected[i]);
    }

    // Large lists finish without exhausting the stack; a presorted list of distinct keys
    // has only one sorted order, an all-equal one must keep every entry.
    void largeLists_data() {
        QTest::addColumn<bool>("equalKeys");
        QTest::newRow("equal keys") << true;
        QTest::newRow("presorted keys") << false;
    }
    void largeLists() {
        QFETCH(bool, equalKeys);
        // 1,000,000 entries run in bench/bench_listops.sh.
        const int entries = 200'000;
        EntryTable table;
        table.setRowCount(entries + 1);
        for (int r = 1; r <= entries; ++r) {
            char key[16];
            std::snprintf(key, sizeof key, "w%07d", r);
            table.setCell(kQuestion, r, equalKeys ? std::string("Same") : std::string(key));
            table.setCell(kExtra1, r, std::to_string(r));
        }
        const SortStats stats = sortEntries(table, kQuestion, cp1251(), collator_);
        QVERIFY(stats.calls > entries / 13);
        std::vector<bool> seen(entries + 1, false);
        for (int r = 1; r <= entries; ++r) {
            const int id = std::stoi(std::string(table.cell(kExtra1, r)));
            QVERIFY(id >= 1 && id <= entries && !seen[id]);
            seen[id] = true;
            if (!equalKeys)
                QCOMPARE(id, r);
        }
    }
};

QTEST_APPLESS_MAIN(TestSorting)
#include "test_sorting.moc"
