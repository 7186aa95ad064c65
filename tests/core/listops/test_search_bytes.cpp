// Find on the bytes of single-byte pages against find on decoded, lower-cased text: random
// cells and queries must give the same entry.
#include "core/listops/search.h"
#include "platform/codepage.h"
#include "platform/collation.h"

#include <QTest>

#include <random>
#include <string>

using namespace lexanta;

namespace {

int findByText(const EntryTable& table, int start, const QString& what, const FindOptions& options,
               const CodePage& page) {
    if (what.isEmpty())
        return -1;
    const QString needle = options.matchCase ? what : lowerForLocale(what);
    for (int i = std::max(start, 0); i < table.entryCount(); ++i) {
        QString cell = page.decode(table.text(i, kQuestion));
        if (!options.matchCase)
            cell = lowerForLocale(cell);
        if (cellMatches(cell, needle, options.wholeWord))
            return i;
    }
    return -1;
}

} // namespace

class TestSearchBytes : public QObject {
    Q_OBJECT

private slots:
    void agreesWithTextSearch_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QByteArray>("locale");
        // Bytes cells are drawn from: ASCII letters of both cases, separators, the tab, and
        // the page's letters with case (Greek sigma, Turkish dotted and dotless I, ...).
        QTest::addColumn<QByteArray>("alphabet");
        // Long lists are searched on two cores.
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("queries");
        const QByteArray ascii("aAbBiIsS .-1\t");
        QTest::newRow("1252 C") << 1252 << QByteArray("C") << (ascii + "\xC9\xE9\xDF\xFF\x9F\x81")
                                << 300 << 4000;
        QTest::newRow("1253 Greek") << 1253 << QByteArray("el_GR.UTF-8")
                                    << (ascii + "\xD3\xF3\xF2\xC1\xE1\xA2\xDC") << 300 << 4000;
        QTest::newRow("1254 Turkish") << 1254 << QByteArray("tr_TR.UTF-8")
                                      << (ascii + "\xDD\xFD\xD0\xF0\xC7\xE7") << 300 << 4000;
        QTest::newRow("1257 Lithuanian") << 1257 << QByteArray("lt_LT.UTF-8")
                                         << (ascii + "\xC1\xE1\xD0\xF0\xE0\xC0") << 300 << 4000;
        QTest::newRow("932 multi-byte") << 932 << QByteArray("ja_JP.UTF-8")
                                        << (ascii + "\x82\xA0\x83\x41\x81\x40") << 300 << 4000;
        QTest::newRow("1252 long list")
            << 1252 << QByteArray("C") << QByteArray("abcdefghijklmnopqrstuvwxyz") << 50000 << 60;
    }
    void agreesWithTextSearch() {
        QFETCH(int, page);
        QFETCH(QByteArray, locale);
        QFETCH(QByteArray, alphabet);
        QFETCH(int, entries);
        QFETCH(int, queries);
        const QByteArray saved = qgetenv("LC_ALL");
        qputenv("LC_ALL", locale);
        const CodePage& codePage = CodePage::get(page);
        std::mt19937 random(static_cast<unsigned>(page));
        const auto pick = [&](int n) {
            return std::uniform_int_distribution<int>(0, n - 1)(random);
        };
        const auto bytes = [&](int length) {
            std::string s;
            for (int k = 0; k < length; ++k)
                s.push_back(alphabet.at(pick(static_cast<int>(alphabet.size()))));
            return s;
        };
        EntryTable table;
        table.setEntryCount(entries);
        for (int i = 0; i < table.entryCount(); ++i)
            table.setText(i, kQuestion, bytes(pick(entries > 1000 ? 5 : 12)));
        for (int query = 0; query < queries; ++query) {
            // Half the queries are a piece of some cell with its case changed, so they match.
            QString what = codePage.decode(bytes(1 + pick(3)));
            if (query % 2 == 0) {
                const QString cell = codePage.decode(table.text(pick(entries), kQuestion));
                const int from = cell.isEmpty() ? 0 : pick(static_cast<int>(cell.size()));
                what = cell.mid(from, 1 + pick(4));
                what = query % 4 == 0 ? what.toUpper() : what;
            }
            const FindOptions options{pick(2) == 0, pick(2) == 0};
            const int start = pick(entries);
            QCOMPARE(findEntry(table, kQuestion, start, what, options, codePage),
                     findByText(table, start, what, options, codePage));
        }
        qputenv("LC_ALL", saved);
    }
};

QTEST_APPLESS_MAIN(TestSearchBytes)
#include "test_search_bytes.moc"
