#include "core/listops/cleanup.h"

#include <QTest>

using namespace lexanta;

namespace {

// Entries given as "question|answer|comment" strings.
EntryTable table(const QStringList& rows) {
    EntryTable t;
    t.setEntryCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList f = rows[r].split(QLatin1Char('|'));
        for (int c = 0; c < 3 && c < f.size(); ++c)
            t.setText(r, c, f[c].toStdString());
        t.setText(r, kExtra1, std::to_string(r + 1));
    }
    return t;
}

QStringList rowsOf(const EntryTable& t) {
    QStringList rows;
    for (int i = 0; i < t.entryCount(); ++i)
        rows << QString::fromStdString(std::string(t.text(i, kQuestion)) + "|" +
                                       std::string(t.text(i, kAnswer)) + "|" +
                                       std::string(t.text(i, kComment)));
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
        t.setText(3, kExtra2, "x");
        lexanta::removeBlankLines(t);
        QCOMPARE(t.entryCount(), 2);
        QCOMPARE(t.text(0, kExtra1), std::string("2"));
        QCOMPARE(t.text(1, kExtra1), std::string("4"));
        QCOMPARE(t.text(1, kExtra2), std::string("x"));
        // all blank: the last blank entry stays, as deleting from the top would leave
        EntryTable blanks = table({"||", "||"});
        lexanta::removeBlankLines(blanks);
        QCOMPARE(blanks.text(0, kExtra1), std::string("2"));
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
        t.setText(0, kExtra2, "  keep  ");
        lexanta::normalizeCells(t);
        QCOMPARE(rowsOf(t), after);
        QCOMPARE(t.text(0, kExtra2), std::string("  keep  "));
    }

    void deleteEntry() {
        EntryTable t = table({"a||", "b||", "c||"});
        lexanta::deleteEntry(t, 1);
        QCOMPARE(rowsOf(t), (QStringList{"a||", "c||"}));
        lexanta::deleteEntry(t, 0);
        lexanta::deleteEntry(t, 0); // the last entry is never deleted
        QCOMPARE(rowsOf(t), QStringList{"c||"});
    }
};

QTEST_APPLESS_MAIN(TestCleanup)
#include "test_cleanup.moc"
