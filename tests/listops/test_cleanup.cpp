#include "listops/cleanup.h"

#include <QTest>

using namespace lexanta;

namespace {

// Rows given as "question|answer|comment" strings.
EntryTable table(const QStringList& rows) {
    EntryTable t;
    t.setRowCount(static_cast<int>(rows.size()) + 1);
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList f = rows[r].split(QLatin1Char('|'));
        for (int c = 0; c < 3 && c < f.size(); ++c)
            t.setCell(c + 1, r + 1, f[c].toStdString());
        t.setCell(kExtra1, r + 1, std::to_string(r + 1));
    }
    return t;
}

QStringList rowsOf(const EntryTable& t) {
    QStringList rows;
    for (int r = 1; r < t.rowCount(); ++r)
        rows << QString::fromStdString(std::string(t.cell(1, r)) + "|" + std::string(t.cell(2, r)) +
                                       "|" + std::string(t.cell(3, r)));
    return rows;
}

} // namespace

class TestCleanup : public QObject {
    Q_OBJECT

private slots:
    void removeBlankLines_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("blank rows between and after")
            << QStringList{"cat||", "||", "||", "dog||", "||"} << QStringList{"cat||", "dog||"};
        QTest::newRow("all blank keeps one") << QStringList{"||", "||", "||"} << QStringList{"||"};
        QTest::newRow("blanks are not empty")
            << QStringList{" | |", "x||"} << QStringList{" | |", "x||"};
        QTest::newRow("comment keeps a row") << QStringList{"||c", "||"} << QStringList{"||c"};
    }
    void removeBlankLines() {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        EntryTable t = table(before);
        lexanta::removeBlankLines(t);
        QCOMPARE(rowsOf(t), after);
    }

    void removeBlankLinesKeepsWholeEntries() {
        EntryTable t = table({"||", "cat|Katze|kat", "||", "dog|Hund|"});
        t.setCell(kExtra2, 4, "x");
        lexanta::removeBlankLines(t);
        QCOMPARE(t.rowCount(), 3);
        QCOMPARE(t.cell(kExtra1, 1), std::string("2"));
        QCOMPARE(t.cell(kExtra1, 2), std::string("4"));
        QCOMPARE(t.cell(kExtra2, 2), std::string("x"));
        // all blank: the last blank entry stays, as deleting from the top would leave
        EntryTable blanks = table({"||", "||"});
        lexanta::removeBlankLines(blanks);
        QCOMPARE(blanks.cell(kExtra1, 1), std::string("2"));
    }

    void joinLineBreaks_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("joined");
        QTest::newRow("CR LF") << QByteArray("two\r\nwords") << QByteArray("two words");
        QTest::newRow("two breaks") << QByteArray("a\r\n\r\nb") << QByteArray("a  b");
        QTest::newRow("lone LF keeps the character before it")
            << QByteArray("ab\ncd") << QByteArray("ab cd");
        QTest::newRow("lone LF first") << QByteArray("\nxy") << QByteArray(" xy");
        QTest::newRow("lone CR stays") << QByteArray("a\rb") << QByteArray("a\rb");
        QTest::newRow("break at the end") << QByteArray("a\r\n") << QByteArray("a ");
    }
    void joinLineBreaks() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, joined);
        QCOMPARE(QByteArray::fromStdString(lexanta::joinLineBreaks(text.toStdString())), joined);
    }

    void normalizeCells_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("single row untouched")
            << QStringList{"  cat |\r\nx|"} << QStringList{"  cat |\r\nx|"};
        QTest::newRow("two rows trimmed") << QStringList{"  cat |a\t|\x01"
                                                         "c",
                                                         "dog||"}
                                          << QStringList{"cat|a|c", "dog||"};
        QTest::newRow("breaks joined, ends trimmed")
            << QStringList{"\r\ntwo\r\nwords\r\n|x|y", "z||"}
            << QStringList{"two words|x|y", "z||"};
        QTest::newRow("only blanks becomes empty")
            << QStringList{"   |\t|", "a||"} << QStringList{"||", "a||"};
    }
    void normalizeCells() {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        EntryTable t = table(before);
        t.setCell(kExtra2, 1, "  keep  ");
        lexanta::normalizeCells(t);
        QCOMPARE(rowsOf(t), after);
        QCOMPARE(t.cell(kExtra2, 1), std::string("  keep  "));
    }

    void deleteEntryRow() {
        EntryTable t = table({"a||", "b||", "c||"});
        lexanta::deleteEntryRow(t, 2);
        QCOMPARE(rowsOf(t), (QStringList{"a||", "c||"}));
        lexanta::deleteEntryRow(t, 1);
        lexanta::deleteEntryRow(t, 1); // the last entry row is never deleted
        QCOMPARE(rowsOf(t), QStringList{"c||"});
    }
};

QTEST_APPLESS_MAIN(TestCleanup)
#include "test_cleanup.moc"
