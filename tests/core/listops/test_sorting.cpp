#include "core/listops/sorting.h"
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

Entry makeEntry(const std::string& key, int field, int id) {
    Entry e;
    for (int f = 0; f < kFieldCount; ++f)
        e[f] = "f" + std::to_string(f) + "#" + std::to_string(id);
    e[field] = key;
    return e;
}

// Entries with the given keys in `field` and their number in the other fields.
Rows rowsWithKeys(const std::vector<std::string>& keys, int field) {
    Rows rows(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        rows[i] = makeEntry(keys[i], field, static_cast<int>(i));
    return rows;
}

void fill(EntryTable& table, const Rows& rows) {
    table.setEntryCount(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i)
        table.setEntry(i, rows[i]);
}

Rows contents(const EntryTable& table) {
    Rows rows(table.entryCount());
    for (int i = 0; i < table.entryCount(); ++i)
        rows[i] = table.entry(i).toEntry();
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
        reference.partitionSort(0, static_cast<int>(rows.size()) - 1);

        QCOMPARE(table.entryCount(), static_cast<int>(rows.size()));
        const Rows actual = contents(table);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (actual[r] != expected[r])
                QFAIL(qPrintable(QStringLiteral("%1 entries: entry %2 differs from the reference")
                                     .arg(rows.size())
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
        Rows rows(entries);
        for (int r = 0; r < entries; ++r)
            rows[r] = makeEntry(kKeyPool[random() % static_cast<unsigned>(poolSize)].toStdString(),
                                column, r);
        return rows;
    }

private slots:
    void matchesReferenceOnRandomLists() {
        std::mt19937 random(20240611);
        for (int round = 0; round < 2000; ++round) {
            const int entries = 1 + static_cast<int>(random() % 200);
            const int column = static_cast<int>(random() % 3);
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
        Rows rows(entries);
        for (int r = 0; r < entries; ++r) {
            const std::string key =
                poolSize == 0 ? (random() % 2 ? "same" : "SAME")
                              : kKeyPool[random() % static_cast<unsigned>(poolSize)].toStdString();
            rows[r] = makeEntry(key, kQuestion, r);
        }
        checkAgainstReference(rows, kQuestion);
    }

    // A poll that throws stops the ranking wherever it is called (decoding, keying, ordering
    // the keys, on either core), and the exception reaches the caller.
    void rankingStopsAtEveryPoll() {
        struct Stop {};
        EntryTable table;
        std::mt19937 random(3);
        table.setEntryCount(40'000);
        for (int r = 0; r < table.entryCount(); ++r)
            table.setText(r, kQuestion, "k" + std::to_string(random()));
        int polls = 0;
        keyRanks(table, kQuestion, cp1251(), collator_, nullptr, [&] { ++polls; });
        for (int stopAt = 1; stopAt <= polls; ++stopAt) {
            int n = 0;
            bool stopped = false;
            try {
                keyRanks(table, kQuestion, cp1251(), collator_, nullptr, [&] {
                    if (++n == stopAt)
                        throw Stop{};
                });
            } catch (const Stop&) {
                stopped = true;
            }
            if (!stopped)
                QFAIL(qPrintable(
                    QStringLiteral("not stopped at poll %1 of %2").arg(stopAt).arg(polls)));
        }
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
        Rows rows(entries);
        for (int r = 0; r < entries; ++r) {
            // the values of the list's positions counted from 1
            const int p = r + 1;
            int v = 0;
            if (shape == QLatin1String("ascending"))
                v = p;
            else if (shape == QLatin1String("descending"))
                v = entries - p;
            else if (shape == QLatin1String("pipe"))
                v = std::min(p, entries - p);
            else if (shape == QLatin1String("alternating"))
                v = p % 2;
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
        const std::vector<int> expectedIds = {4, 9, 2, 3, 10, 5, 6, 8, 0, 1, 7, 11, 12};
        for (std::size_t i = 0; i < expectedIds.size(); ++i)
            QCOMPARE(table.entry(static_cast<int>(i)), rows[expectedIds[i]]);
    }

    void fourteenEntriesGoThroughThePartition() {
        std::vector<std::string> keys;
        for (int r = 0; r < 14; ++r)
            keys.push_back(r % 2 ? "SAME" : "same");
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
            QCOMPARE(table.text(static_cast<int>(i), kComment), expected[i]);
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
        table.setEntryCount(entries);
        for (int r = 0; r < entries; ++r) {
            char key[16];
            std::snprintf(key, sizeof key, "w%07d", r);
            table.setText(r, kQuestion, equalKeys ? std::string("Same") : std::string(key));
            table.setText(r, kExtra1, std::to_string(r));
        }
        const SortStats stats = sortEntries(table, kQuestion, cp1251(), collator_);
        QVERIFY(stats.calls > entries / 13);
        std::vector<bool> seen(entries, false);
        for (int r = 0; r < entries; ++r) {
            const int id = std::stoi(std::string(table.text(r, kExtra1)));
            QVERIFY(id >= 0 && id < entries && !seen[id]);
            seen[id] = true;
            if (!equalKeys)
                QCOMPARE(id, r);
        }
    }
};

QTEST_APPLESS_MAIN(TestSorting)
#include "test_sorting.moc"
