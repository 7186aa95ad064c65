#include "core/listops/frequency.h"
#include "platform/codepage.h"
#include "platform/collation.h"

#include <QTest>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

using namespace lexanta;

using ByteList = QList<QByteArray>;

class TestFrequency : public QObject {
    Q_OBJECT

    KeyCollator collator_{QStringLiteral("en_US")};

private slots:
    // questions -> result rows "question|count"; questions are Windows-1251 bytes.
    void runs_data() {
        QTest::addColumn<ByteList>("questions");
        QTest::addColumn<ByteList>("expected");
        QTest::newRow("sorted runs")
            << ByteList{"a", "a", "b", "c", "c", "c"} << ByteList{"a|2", "b|1", "c|3"};
        QTest::newRow("case variants: first entry's text")
            << ByteList{"Apple", "apple", "APPLE", "pear"} << ByteList{"Apple|3", "pear|1"};
        QTest::newRow("cyrillic case variants")
            << ByteList{"\xE4\xEE\xEC", "\xC4\xCE\xCC", "\xC4\xEE\xEC"}
            << ByteList{"\xE4\xEE\xEC|3"};
        QTest::newRow("unsorted: only neighbours count")
            << ByteList{"x", "y", "x"} << ByteList{"x|1", "y|1", "x|1"};
        QTest::newRow("empty questions form runs")
            << ByteList{"", "", "a"} << ByteList{"|2", "a|1"};
        QTest::newRow("last question empty ends the run")
            << ByteList{"a", "a", ""} << ByteList{"a|2", "|1"};
        QTest::newRow("variants recur within a run")
            << ByteList{"a", "A", "a", "A", "b", "B", "b", "a"} << ByteList{"a|4", "b|3", "a|1"};
        // more distinct spellings in one run than are remembered as known equal
        ByteList spellings;
        for (int mask = 0; mask < 32; ++mask) {
            QByteArray w = "abcde";
            for (int bit = 0; bit < 5; ++bit)
                if (mask & (1 << bit))
                    w[bit] = static_cast<char>(w[bit] - 32);
            spellings << w;
        }
        spellings << spellings << "abcdef";
        QTest::newRow("many spellings") << spellings << ByteList{"abcde|64", "abcdef|1"};
        QTest::newRow("one entry") << ByteList{"solo"} << ByteList{"solo|1"};
        QTest::newRow("new vocabulary") << ByteList{""} << ByteList{"|1"};
        QTest::newRow("accents differ") << ByteList{"\xE5\xEB\xEA\xE0", "\xB8\xEB\xEA\xE0"}
                                        << ByteList{"\xE5\xEB\xEA\xE0|1", "\xB8\xEB\xEA\xE0|1"};
    }
    void runs() {
        QFETCH(ByteList, questions);
        QFETCH(ByteList, expected);
        EntryTable table;
        table.setEntryCount(static_cast<int>(questions.size()));
        for (int i = 0; i < questions.size(); ++i) {
            table.setText(i, kQuestion, questions[i].toStdString());
            table.setText(i, kAnswer, "answer");
            table.setText(i, kComment, "comment " + std::to_string(i));
            table.setText(i, kExtra2, "x" + std::to_string(i));
        }
        const int runs = frequencyAnalysis(table, CodePage::get(1251), collator_);
        QCOMPARE(runs, static_cast<int>(expected.size()));
        QCOMPARE(table.entryCount(), runs);
        for (int p = 0; p < runs; ++p) {
            const QByteArray got = QByteArray::fromStdString(
                std::string(table.text(p, kQuestion)) + "|" + std::string(table.text(p, kAnswer)));
            QCOMPARE(got, expected[p]);
            // comments and extra fields stay where they were
            QCOMPARE(table.text(p, kComment), "comment " + std::to_string(p));
            QCOMPARE(table.text(p, kExtra2), "x" + std::to_string(p));
        }
    }

    // Long lists are gone through in two halves on two cores; a run across the middle is one
    // run, and so is a run that ends or starts there.
    // Where the locale's order joins ASCII letters (Hungarian doubled digraphs), tells their
    // cases apart (Turkish) or ignores blanks (Thai), the bytes of plain words do not decide:
    // the runs follow the order the sort uses.
    void runsInLocalesWithContractions_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<ByteList>("questions");
        QTest::addColumn<ByteList>("expected");
        QTest::newRow("hu: ccs is cscs")
            << "hu_HU" << ByteList{"ccs", "csCs", "cz"} << ByteList{"ccs|2", "cz|1"};
        QTest::newRow("hu: ssz is szsz")
            << "hu_HU" << ByteList{"asszony", "aszSzony"} << ByteList{"asszony|2"};
        QTest::newRow("en: the same words differ")
            << "en_US" << ByteList{"ccs", "csCs"} << ByteList{"ccs|1", "csCs|1"};
        QTest::newRow("en: a blank is a letter")
            << "en_US" << ByteList{"Ab", "ab", "a b"} << ByteList{"Ab|2", "a b|1"};
        QTest::newRow("tr: dotless I is not i")
            << "tr_TR" << ByteList{"kis", "KiS", "KIS"} << ByteList{"kis|2", "KIS|1"};
        QTest::newRow("th: blanks are ignored")
            << "th_TH" << ByteList{"a b", "Ab", "a  B"} << ByteList{"a b|3"};
    }
    void runsInLocalesWithContractions() {
        QFETCH(QString, locale);
        QFETCH(ByteList, questions);
        QFETCH(ByteList, expected);
        const KeyCollator collator(locale);
        EntryTable table;
        table.setEntryCount(static_cast<int>(questions.size()));
        for (int i = 0; i < questions.size(); ++i)
            table.setText(i, kQuestion, questions[i].toStdString());
        // the sort's equality, for the record
        QCOMPARE(collator.compare(QString::fromLatin1(questions[0]),
                                  QString::fromLatin1(questions[1])) == 0,
                 expected.size() < questions.size());
        const int runs = frequencyAnalysis(table, CodePage::get(1250), collator);
        ByteList got;
        for (int p = 0; p < runs; ++p)
            got << QByteArray::fromStdString(std::string(table.text(p, kQuestion)) + "|" +
                                             std::string(table.text(p, kAnswer)));
        QCOMPARE(got, expected);
    }

    void runsAcrossTheMiddle_data() {
        QTest::addColumn<int>("firstRun");
        QTest::addColumn<int>("rows");
        QTest::newRow("run across the middle") << 30'000 << 40'000;
        QTest::newRow("run ends one row into the second half") << 20'001 << 40'000;
        QTest::newRow("run ends with the first half") << 20'000 << 40'000;
    }
    void runsAcrossTheMiddle() {
        QFETCH(int, firstRun);
        QFETCH(int, rows);
        EntryTable table;
        table.setEntryCount(rows);
        for (int i = 0; i < rows; ++i)
            table.setText(i, kQuestion, i < firstRun ? (i % 3 == 2 ? "WORD" : "Word") : "other");
        std::vector<long long> done;
        const int runs = frequencyAnalysis(table, CodePage::get(1252), collator_,
                                           [&](long long d, long long total) {
                                               QCOMPARE(total, static_cast<long long>(rows));
                                               done.push_back(d);
                                           });
        QCOMPARE(runs, 2);
        QCOMPARE(table.text(0, kQuestion), std::string("Word"));
        QCOMPARE(table.text(0, kAnswer), std::to_string(firstRun));
        QCOMPARE(table.text(1, kAnswer), std::to_string(rows - firstRun));
        QVERIFY(std::is_sorted(done.begin(), done.end()));
        QCOMPARE(done.back(), static_cast<long long>(rows));
    }

    // Runs end exactly where the sort keys of neighbours differ, whatever mix of plain words,
    // case variants, marks, accents and blanks the questions are.
    void runsFollowTheKeys() {
        const char* pieces[] = {"a", "A", "b", "B", "i", "I", "-", "'", " ", "\xE9", "1"};
        const CodePage& page = CodePage::get(1252);
        unsigned state = 12345;
        const auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
        for (int round = 0; round < 200; ++round) {
            const int rows = 1 + static_cast<int>(next() % 12);
            EntryTable table;
            table.setEntryCount(rows);
            std::vector<std::string> questions;
            for (int i = 0; i < rows; ++i) {
                std::string q;
                if (i > 0 && next() % 2) {
                    // neighbours often repeat, in another case
                    q = questions.back();
                    for (char& c : q)
                        if (std::isalpha(static_cast<unsigned char>(c)) && next() % 2)
                            c = static_cast<char>(c ^ 0x20);
                } else {
                    for (unsigned k = next() % 4; k > 0; --k)
                        q += pieces[next() % std::size(pieces)];
                }
                questions.push_back(q);
                table.setText(i, kQuestion, q);
            }
            std::vector<int> expected{1};
            for (int r = 1; r < rows; ++r) {
                if (collator_.sortKey(page.decode(questions[r - 1])) ==
                    collator_.sortKey(page.decode(questions[r])))
                    ++expected.back();
                else
                    expected.push_back(1);
            }
            const std::vector<FrequencyRun> runs = frequencyRuns(table, page, collator_);
            std::vector<int> lengths;
            for (const FrequencyRun& run : runs)
                lengths.push_back(run.length);
            QCOMPARE(lengths, expected);
        }
    }

    // More runs than the old 125 000-slot table held; a second pass gives length 1 everywhere.
    void manyRunsAndSecondPass() {
        const int runs = 130'000;
        EntryTable table;
        table.setEntryCount(2 * runs);
        for (int i = 0; i < runs; ++i) {
            const std::string word = "w" + std::to_string(i);
            table.setText(2 * i, kQuestion, word);
            table.setText(2 * i + 1, kQuestion, i % 2 ? word : "W" + word.substr(1));
        }
        QCOMPARE(frequencyAnalysis(table, CodePage::get(1252), collator_), runs);
        QCOMPARE(table.entryCount(), runs);
        QCOMPARE(table.text(runs - 1, kQuestion), "w" + std::to_string(runs - 1));
        QCOMPARE(table.text(runs - 1, kAnswer), std::string("2"));
        QCOMPARE(frequencyAnalysis(table, CodePage::get(1252), collator_), runs);
        QCOMPARE(table.text(0, kAnswer), std::string("1"));
        QCOMPARE(table.text(runs - 1, kAnswer), std::string("1"));
    }
};

QTEST_APPLESS_MAIN(TestFrequency)
#include "test_frequency.moc"
