// The list commands in the window: sort from its menus, shuffle, swap, frequency analysis
// and find with its end message, through scripted dialogs.
#include "support/window_fixture.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

using namespace lexanta;
using namespace lexanta::test;

class TestFormListops : public QObject {
    Q_OBJECT

private slots:
    void sortFromTheMenus_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<int>("field");
        QTest::addColumn<QStringList>("order"); // of the entries, by their first extra field
        QTest::newRow("questions") << "questions1" << int(kQuestion) << QStringList{"2", "1", "3"};
        QTest::newRow("answers") << "answers1" << int(kAnswer) << QStringList{"3", "2", "1"};
        QTest::newRow("comments popup")
            << "comment1" << int(kComment) << QStringList{"2", "3", "1"};
    }
    void sortFromTheMenus() {
        QFETCH(QString, menu);
        QFETCH(int, field);
        QFETCH(QStringList, order);
        Window w(false);
        const QStringList entries{"b|z|m|1|", "a|y||2|", "C|x|k|3|"};
        w.setRows(entries);
        w.form->lists().sortByLastField(); // no field chosen yet: nothing happens
        QCOMPARE(w.rows(), entries);
        w.form->grid()->setCurrentCell(2, 2);
        w.box(0)->setText(QStringLiteral("typed"));
        w.form->findChild<QAction*>(menu)->trigger();
        QStringList sorted; // whole entries moved, and nothing typed was written
        for (const QString& n : order)
            sorted << entries[n.toInt() - 1];
        QCOMPARE(w.rows(), sorted);
        QCOMPARE(w.form->lists().sortField(), field);
        QCOMPARE(QPoint(w.form->grid()->column(), w.form->grid()->row()), QPoint(2, 2));
        QVERIFY(w.form->progressBar()->isHidden());
    }

    void oneEntryShowsAndHidesTheBar() {
        Window w;
        int shown = 0;
        w.form->progressBar()->installEventFilter(this);
        showCount_ = &shown;
        w.form->lists().sortBy(kQuestion);
        showCount_ = nullptr;
        QCOMPARE(shown, 1);
        QVERIFY(w.form->progressBar()->isHidden());
        QCOMPARE(w.form->progressBar()->value(), 0);
    }

    // While the sort still makes its keys, the Cancel button beside the bar or Esc stops it.
    void sortStopped_data() {
        QTest::addColumn<bool>("button"); // else Esc
        QTest::newRow("Cancel button") << true;
        QTest::newRow("Esc") << false;
    }
    void sortStopped() {
        QFETCH(bool, button);
        Window w;
        const QStringList entries{"b|z|||", "a|y|||", "C|x|||"};
        w.setRows(entries);
        const int steps = w.doc().undoStack()->count();
        const QRect place = w.form->progressBar()->geometry();
        auto* cancel = w.form->findChild<QPushButton*>(QStringLiteral("ProgressCancel"));
        QVERIFY(cancel && cancel->isHidden());
        bool shown = false;
        QTimer::singleShot(0, w.form.get(), [&] {
            shown = cancel->isVisible() && w.form->progressBar()->isVisible();
            if (button) // through the window, as the mouse comes
                QTest::mouseClick(w.form->windowHandle(), Qt::LeftButton, {},
                                  cancel->mapTo(w.form.get(), cancel->rect().center()));
            else
                QTest::keyClick(w.form->grid(), Qt::Key_Escape);
        });
        w.action("questions1")->trigger();
        QVERIFY(shown);
        QCOMPARE(w.rows(), entries);
        QCOMPARE(w.doc().undoStack()->count(), steps);
        QVERIFY(cancel->isHidden());
        QVERIFY(w.form->progressBar()->isHidden());
        QCOMPARE(w.form->progressBar()->geometry(), place);
    }

    void swapTwiceRestores() {
        Window w(false);
        w.setRows({"cat|Katze|kat"});
        FieldFont courier = w.doc().font(kAnswer);
        courier.face = "Courier New";
        courier.charset = 204;
        w.doc().setFont(kAnswer, courier);
        w.setLayoutNames({"00000409", "00000419", "00000407"});
        const VocabularyHeader before = w.doc().header();
        w.action("Swap1")->trigger();
        QCOMPARE(w.row(1), QStringLiteral("Katze|cat|kat||"));
        QCOMPARE(w.doc().header().layoutNames,
                 (std::array<std::string, 3>{"00000419", "00000409", "00000407"}));
        QCOMPARE(w.doc().header().fonts[0].face, std::string("Courier New"));
        QCOMPARE(w.box(0)->font().family(), QStringLiteral("Courier New"));
        w.button("SpeedItem11Swap")->click();
        QCOMPARE(w.doc().header().fonts, before.fonts);
        QCOMPARE(w.doc().header().layoutNames, before.layoutNames);
        QCOMPARE(w.row(1), QStringLiteral("cat|Katze|kat||"));
    }

    void shuffleKeepsEntriesWhole() {
        Window w(false);
        QStringList entries;
        for (int i = 1; i <= 50; ++i)
            entries << QStringLiteral("q%1|a%1|c%1|%1|").arg(i);
        w.setRows(entries);
        w.action("RandomizeEntries1")->trigger();
        QStringList shuffled = w.rows();
        QVERIFY(shuffled != entries);
        shuffled.sort();
        entries.sort();
        QCOMPARE(shuffled, entries); // each entry once, whole
    }

    void frequency() {
        Window w(false);
        w.setRows({"a|x|c1", "A|y|c2", "b|z|c3", "c|w|c4", "c|v|c5", "C|u|c6"});
        w.form->grid()->setCurrentCell(1, 6);
        w.action("FrequencyAnalysing1")->trigger();
        QCOMPARE(w.column(kQuestion), (QStringList{"a", "b", "c"}));
        QCOMPARE(w.column(kAnswer), (QStringList{"2", "1", "3"}));
        QCOMPARE(w.column(kComment), (QStringList{"c1", "c2", "c3"}));
        QCOMPARE(w.form->grid()->row(), 3);
    }

    void findDownwardsThenEnd() {
        Window w(false);
        MainWindow& f = *w.form;
        w.setRows({"cat", "dog", "concat cat", "cat-fish", "bird"});
        f.grid()->setCurrentCell(1, 2);
        f.lists().findNext(); // nothing to find yet: nothing happens
        QCOMPARE(f.grid()->row(), 2);
        QCOMPARE(f.lists().searchState().lastFound, -1);
        f.lists().find();
        QVERIFY(w.action("Findnext1")->isEnabled());
        QCOMPARE(w.dialogs.findShown, 1);
        w.dialogs.pressFind(QStringLiteral("CAT"));
        QCOMPARE(f.grid()->row(), 3); // every occurrence is examined
        f.lists().findNext();
        QCOMPARE(f.grid()->row(), 4);
        QVERIFY(w.dialogs.messages.empty());
        f.lists().findNext(); // nothing below: the end message, the row stays
        QCOMPARE(w.dialogs.messageTexts(), QStringList{"End of vocabulary reached!"});
        QCOMPARE(w.dialogs.messages.back().caption, QStringLiteral("End of document"));
        QCOMPARE(f.grid()->row(), 4);
        f.lists().findNext(); // starts again at row 1
        QCOMPARE(f.grid()->row(), 1);
        // match case on: "CAT" is nowhere
        w.dialogs.pressFind(QStringLiteral("CAT"), true);
        QCOMPARE(w.dialogs.messages.size(), std::size_t(2));
    }

    void findInLastRowAndInRussian() {
        Window w(false);
        w.setRows({"a", "b", "cat"});
        w.menu("N1")->setTitle(QStringLiteral("&Файл"));
        w.form->lists().find();
        w.dialogs.pressFind(QStringLiteral("cat"));
        QCOMPARE(w.form->grid()->row(), 3);
        QCOMPARE(w.dialogs.messages.back().text, QStringLiteral("Достигнут конец словаря!"));
        QCOMPARE(w.dialogs.messages.back().caption, QStringLiteral("Конец документа"));
        QVERIFY(w.form->lists().searchState().endReached);
        QCOMPARE(w.form->lists().searchState().lastFound, 2); // grid row 3
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
