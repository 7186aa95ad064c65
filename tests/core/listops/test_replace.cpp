// Replacing in one text, and in a table whose fields have code pages of their own.
#include "core/listops/replace.h"
#include "platform/codepage.h"

#include <QTest>

using namespace lexanta;

class TestReplace : public QObject {
    Q_OBJECT

private slots:
    void inText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("with");
        QTest::addColumn<int>("flags"); // 1 regex, 2 match case, 4 whole words
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("count");
        QTest::newRow("literal, any case") << "Cat cat CAT"
                                           << "cat"
                                           << "dog" << 0 << "dog dog dog" << 3;
        QTest::newRow("literal, case") << "Cat cat CAT"
                                       << "cat"
                                       << "dog" << 2 << "Cat dog CAT" << 1;
        QTest::newRow("literal keeps \\1") << "a.b"
                                           << "."
                                           << "\\1$1" << 0 << "a\\1$1b" << 1;
        QTest::newRow("literal is no pattern") << "a+b aab"
                                               << "a+"
                                               << "x" << 0 << "xb aab" << 1;
        QTest::newRow("captures") << "to go, to be"
                                  << "to (\\w+)"
                                  << "\\1!" << 1 << "go!, be!" << 2;
        QTest::newRow("\\0 and \\\\") << "ab"
                                      << "b"
                                      << "[\\0\\\\]" << 1 << "a[b\\]" << 1;
        QTest::newRow("\\10 is group 1 and 0 without ten groups") << "xy"
                                                                  << "(x)"
                                                                  << "\\10" << 1 << "x0y" << 1;
        QTest::newRow("whole words") << "cat concat cat's"
                                     << "cat"
                                     << "X" << 4 << "X concat X's" << 2;
        QTest::newRow("whole words, Cyrillic") << "кот котёнок кот"
                                               << "кот"
                                               << "пёс" << 4 << "пёс котёнок пёс" << 2;
        QTest::newRow("Cyrillic, any case") << "Кот КОТ"
                                            << "кот"
                                            << "пёс" << 0 << "пёс пёс" << 2;
        QTest::newRow("empty matches") << "ab"
                                       << "x*"
                                       << "-" << 1 << "-a-b-" << 3;
        QTest::newRow("no match") << "abc"
                                  << "z"
                                  << "y" << 0 << "abc" << 0;
    }
    void inText() {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, with);
        QFETCH(int, flags);
        QFETCH(QString, result);
        QFETCH(int, count);
        ReplaceOptions o;
        o.find = find;
        o.with = with;
        o.regex = flags & 1;
        o.matchCase = flags & 2;
        o.wholeWords = flags & 4;
        QCOMPARE(replaceInText(text, replacePattern(o), o), count);
        QCOMPARE(text, result);
    }

    // Cells are decoded and encoded with their field's page; a cell the page cannot hold
    // refuses the whole plan; cells without a match keep their bytes.
    void inTable() {
        EntryTable table;
        table.setEntryCount(3);
        table.setText(0, kQuestion, "cat");
        table.setText(0, kAnswer, "\xea\xee\xf2"); // кот in Windows-1251
        table.setText(1, kQuestion, "dog\x81");    // a byte 1252 leaves undefined
        table.setText(2, kAnswer, "\xea\xee\xf2\xe0");
        const std::array<const CodePage*, 3> pages{&CodePage::get(1252), &CodePage::get(1251),
                                                   &CodePage::get(1252)};
        ReplaceOptions o;
        o.find = QStringLiteral("кот");
        o.with = QStringLiteral("пёс");
        ReplacePlan plan = planReplace(table, o, pages);
        QVERIFY(plan.ok());
        QCOMPARE(plan.replacements, 2);
        QCOMPARE(plan.changes.size(), std::size_t(2));
        QCOMPARE(plan.changes[1].text, std::string("\xef\xb8\xf1\xe0"));

        o.fields = {true, false, false};
        o.find = QStringLiteral("(.)$");
        o.with = QStringLiteral("ж\\1");
        o.regex = true;
        plan = planReplace(table, o, pages);
        QCOMPARE(plan.refusedEntry, 0);
        QCOMPARE(plan.refusedField, int(kQuestion));
        QCOMPARE(plan.refusedCharacters, QStringLiteral("ж"));
        QVERIFY(plan.changes.empty());

        o.with = QStringLiteral("\\1!");
        plan = planReplace(table, o, pages);
        QCOMPARE(plan.changes.size(), std::size_t(2));
        QCOMPARE(plan.changes[1].text, std::string("dog\x81!")); // the undefined byte kept

        o.find = QStringLiteral("(");
        QVERIFY(!planReplace(table, o, pages).error.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestReplace)
#include "test_replace.moc"
