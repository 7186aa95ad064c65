// The list commands in the window: sort from its menus, shuffle, swap, frequency analysis
// and find with its end message, through scripted dialogs.
#include "support/window_fixture.h"

#include <QProgressBar>
#include <QToolButton>

using namespace lexanta;
using namespace lexanta::test;

class TestFormListops : public QObject {
    Q_OBJECT

private slots:
    void sortFromTheMenus_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("order"); // of the entries, by their first extra field
        QTest::newRow("questions") << "questions1" << 1 << QStringList{"2", "1", "3"};
        QTest::newRow("answers") << "answers1" << 2 << QStringList{"3", "2", "1"};
        QTest::newRow("comments popup") << "comment1" << 3 << QStringList{"2", "3", "1"};
    }
    void sortFromTheMenus() {
        QFETCH(QString, menu);
        QFETCH(int, column);
        QFETCH(QStringList, order);
        Window w(false);
        const QStringList entries{"b|z|m|1|", "a|y||2|", "C|x|k|3|"};
        w.setRows(entries);
        w.form->SpeedItem10Click(); // no column chosen yet: nothing happens
        QCOMPARE(w.rows(), entries);
        w.form->StringGrid1->setCurrentCell(2, 2);
        w.form->ComboEdit1->setText(QStringLiteral("typed"));
        w.form->findChild<QAction*>(menu)->trigger();
        QStringList sorted; // whole entries moved, and nothing typed was written
        for (const QString& n : order)
            sorted << entries[n.toInt() - 1];
        QCOMPARE(w.rows(), sorted);
        QCOMPARE(w.form->SpeedItem10->property("Tag").toInt(), column);
        QCOMPARE(QPoint(w.form->StringGrid1->Col(), w.form->StringGrid1->Row()), QPoint(2, 2));
        QVERIFY(w.form->ProgressBar1->isHidden());
    }

    void oneEntryShowsAndHidesTheBar() {
        Window w;
        int shown = 0;
        w.form->ProgressBar1->installEventFilter(this);
        showCount_ = &shown;
        w.form->Question1Click();
        showCount_ = nullptr;
        QCOMPARE(shown, 1);
        QVERIFY(w.form->ProgressBar1->isHidden());
        QCOMPARE(w.form->ProgressBar1->value(), 0);
    }

    void swapTwiceRestores() {
        Window w(false);
        TForm1& f = *w.form;
        w.setRows({"cat|Katze|kat"});
        f.doc.header.fonts[1].face = "Courier New";
        f.doc.header.fonts[1].charset = 204;
        f.FieldLayoutNames() = {"00000409", "00000419", "00000407"};
        const VocabularyHeader before = f.doc.header;
        f.Swap1->trigger();
        QCOMPARE(w.row(1), QStringLiteral("Katze|cat|kat||"));
        QCOMPARE(f.FieldLayoutNames(),
                 (std::array<std::string, 3>{"00000419", "00000409", "00000407"}));
        QCOMPARE(f.doc.header.fonts[0].face, std::string("Courier New"));
        QCOMPARE(f.ComboEdit1->font().family(), QStringLiteral("Courier New"));
        f.SpeedItem11SwapClick();
        QCOMPARE(f.doc.header.fonts, before.fonts);
        QCOMPARE(f.doc.header.layoutNames, before.layoutNames);
        QCOMPARE(w.row(1), QStringLiteral("cat|Katze|kat||"));
    }

    void shuffleKeepsEntriesWhole() {
        Window w(false);
        QStringList entries;
        for (int i = 1; i <= 50; ++i)
            entries << QStringLiteral("q%1|a%1|c%1|%1|").arg(i);
        w.setRows(entries);
        w.form->RandomizeEntries1->trigger();
        QStringList shuffled = w.rows();
        QVERIFY(shuffled != entries);
        shuffled.sort();
        entries.sort();
        QCOMPARE(shuffled, entries); // each entry once, whole
    }

    void frequency() {
        Window w(false);
        w.setRows({"a|x|c1", "A|y|c2", "b|z|c3", "c|w|c4", "c|v|c5", "C|u|c6"});
        w.form->StringGrid1->setCurrentCell(1, 6);
        w.form->FrequencyAnalysing1->trigger();
        QCOMPARE(w.column(kQuestion), (QStringList{"a", "b", "c"}));
        QCOMPARE(w.column(kAnswer), (QStringList{"2", "1", "3"}));
        QCOMPARE(w.column(kComment), (QStringList{"c1", "c2", "c3"}));
        QCOMPARE(w.form->StringGrid1->Row(), 3);
    }

    void findDownwardsThenEnd() {
        Window w(false);
        TForm1& f = *w.form;
        w.setRows({"cat", "dog", "concat cat", "cat-fish", "bird"});
        f.StringGrid1->setCurrentCell(1, 2);
        f.Findnext1Click(); // nothing to find yet: nothing happens
        QCOMPARE(f.StringGrid1->Row(), 2);
        QCOMPARE(f.LastFoundRow, 0);
        f.Find1Click();
        QVERIFY(f.Findnext1->isEnabled());
        QCOMPARE(w.dialogs.findShown, 1);
        w.dialogs.pressFind(QStringLiteral("CAT"));
        QCOMPARE(f.StringGrid1->Row(), 3); // every occurrence is examined
        f.Findnext1Click();
        QCOMPARE(f.StringGrid1->Row(), 4);
        QVERIFY(w.dialogs.messages.empty());
        f.Findnext1Click(); // nothing below: the end message, the row stays
        QCOMPARE(w.dialogs.messageTexts(), QStringList{"End of vocabulary reached!"});
        QCOMPARE(w.dialogs.messages.back().caption, QStringLiteral("End of document"));
        QCOMPARE(f.StringGrid1->Row(), 4);
        f.Findnext1Click(); // starts again at row 1
        QCOMPARE(f.StringGrid1->Row(), 1);
        // match case on: "CAT" is nowhere
        w.dialogs.pressFind(QStringLiteral("CAT"), true);
        QCOMPARE(w.dialogs.messages.size(), std::size_t(2));
    }

    void findInLastRowAndInRussian() {
        Window w(false);
        w.setRows({"a", "b", "cat"});
        w.form->N1->setTitle(QStringLiteral("&Файл"));
        w.form->Find1Click();
        w.dialogs.pressFind(QStringLiteral("cat"));
        QCOMPARE(w.form->StringGrid1->Row(), 3);
        QCOMPARE(w.dialogs.messages.back().text, QStringLiteral("Достигнут конец словаря!"));
        QCOMPARE(w.dialogs.messages.back().caption, QStringLiteral("Конец документа"));
        QVERIFY(w.form->EndReached);
        QCOMPARE(w.form->LastFoundRow, 3);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (showCount_ && event->type() == QEvent::Show)
            ++*showCount_;
        return QObject::eventFilter(watched, event);
    }

private:
    int* showCount_ = nullptr;
};

QTEST_MAIN(TestFormListops)
#include "test_form_listops.moc"
