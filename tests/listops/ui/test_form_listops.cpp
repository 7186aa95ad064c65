// The list commands in the window: sort from its menus, shuffle, swap, frequency analysis
// and find with its end message, through scripted dialogs.
#include "app/tform1.h"
#include "editing/ui/combo_edit.h"
#include "editing/ui/entry_grid.h"
#include "platform/keyboard_layouts.h"
#include "support/scripted_dialogs.h"

#include <QAction>
#include <QMenu>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace lexanta;
using lexanta::test::ScriptedDialogs;

namespace {

struct Fixture {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    MemoryKeyboardLayouts layouts;
    std::unique_ptr<TForm1> form;

    Fixture() {
        FormServices s;
        s.dialogs = &dialogs;
        s.keyboardLayouts = &layouts;
        s.restoreSettings = false;
        s.programFolder = dir.path();
        s.configFolder = dir.path();
        form = std::make_unique<TForm1>(s);
    }
    // Rows "question|answer|comment"; the row number goes into the first extra field.
    void setRows(const QStringList& rows) {
        EntryTable& t = form->cells();
        t.setRowCount(static_cast<int>(rows.size()) + 1);
        for (int r = 0; r < rows.size(); ++r) {
            t.clearRow(r + 1);
            const QStringList f = rows[r].split(QLatin1Char('|'));
            for (int c = 0; c < f.size(); ++c)
                t.setCell(c + 1, r + 1, f[c].toStdString());
            t.setCell(kExtra1, r + 1, std::to_string(r + 1));
        }
    }
    QStringList column(int c) const {
        QStringList out;
        for (int r = 1; r < form->RowCount(); ++r)
            out << QString::fromStdString(form->cells().cell(c, r));
        return out;
    }
};

} // namespace

class TestFormListops : public QObject {
    Q_OBJECT

private slots:
    void sortFromTheMenus_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<int>("column");
        QTest::newRow("questions") << "questions1" << 1;
        QTest::newRow("answers") << "answers1" << 2;
        QTest::newRow("comments popup") << "comment1" << 3;
    }
    void sortFromTheMenus() {
        QFETCH(QString, menu);
        QFETCH(int, column);
        Fixture f;
        f.setRows({"b|z|m", "a|y|", "C|x|k"});
        f.form->StringGrid1->setCurrentCell(2, 2);
        f.form->ComboEdit1->setText(QStringLiteral("typed"));
        f.form->findChild<QAction*>(menu)->trigger();
        QStringList sorted = f.column(column);
        QStringList expected = sorted;
        std::sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        QCOMPARE(sorted, expected);
        QCOMPARE(f.form->SpeedItem10->property("Tag").toInt(), column);
        // whole entries moved
        for (int r = 1; r < f.form->RowCount(); ++r) {
            const int original = std::stoi(f.form->cells().cell(kExtra1, r));
            QCOMPARE(QString::fromStdString(f.form->cells().cell(kQuestion, r)),
                     QStringList({"b", "a", "C"})[original - 1]);
        }
        QCOMPARE(f.form->StringGrid1->Row(), 2);
        QCOMPARE(f.form->StringGrid1->Col(), 2);
        QVERIFY(f.form->ProgressBar1->isHidden());
    }

    void sortButtonOnlyOpensItsMenu() {
        Fixture f;
        f.setRows({"b", "a"});
        QCOMPARE(f.form->SpeedItem10->menu(), f.form->RxPopupMenu1);
        QCOMPARE(f.form->SpeedItem10->popupMode(), QToolButton::InstantPopup);
        f.form->SpeedItem10Click(); // no column chosen yet: nothing happens
        QCOMPARE(f.column(kQuestion), (QStringList{"b", "a"}));
    }

    void oneEntryShowsAndHidesTheBar() {
        Fixture f;
        f.form->show();
        int shown = 0;
        f.form->ProgressBar1->installEventFilter(this);
        showCount_ = &shown;
        f.form->Question1Click();
        showCount_ = nullptr;
        QCOMPARE(shown, 1);
        QVERIFY(f.form->ProgressBar1->isHidden());
        QCOMPARE(f.form->ProgressBar1->value(), 0);
        f.form->SaveDialog1.tag = 1;
    }

    void swapTwiceRestores() {
        Fixture f;
        f.setRows({"cat|Katze|kat"});
        FieldFont answer = f.form->doc.header.fonts[1];
        answer.face = "Courier New";
        answer.charset = 204;
        f.form->doc.header.fonts[1] = answer;
        f.form->FieldLayoutNames() = {"00000409", "00000419", "00000407"};
        const VocabularyHeader before = f.form->doc.header;
        f.form->Swap1->trigger();
        QCOMPARE(f.form->cells().cell(kQuestion, 1), std::string("Katze"));
        QCOMPARE(f.form->cells().cell(kComment, 1), std::string("kat"));
        QCOMPARE(f.form->FieldLayoutNames()[0], std::string("00000419"));
        QCOMPARE(f.form->FieldLayoutNames()[2], std::string("00000407"));
        QCOMPARE(f.form->doc.header.fonts[0].face, std::string("Courier New"));
        QCOMPARE(f.form->ComboEdit1->font().family(), QStringLiteral("Courier New"));
        f.form->SpeedItem11SwapClick();
        QCOMPARE(f.form->doc.header.fonts, before.fonts);
        QCOMPARE(f.form->doc.header.layoutNames, before.layoutNames);
        QCOMPARE(f.form->cells().cell(kQuestion, 1), std::string("cat"));
    }

    void shuffleKeepsEntriesWhole() {
        Fixture f;
        QStringList rows;
        for (int i = 1; i <= 50; ++i)
            rows << QStringLiteral("q%1|a%1|c%1").arg(i);
        f.setRows(rows);
        f.form->RandomizeEntries1->trigger();
        QStringList questions = f.column(kQuestion);
        QCOMPARE(questions.size(), 50);
        for (int r = 1; r <= 50; ++r) {
            const QString q = QString::fromStdString(f.form->cells().cell(kQuestion, r));
            QCOMPARE(QString::fromStdString(f.form->cells().cell(kAnswer, r)),
                     QStringLiteral("a") + q.mid(1));
            QCOMPARE(QString::fromStdString(f.form->cells().cell(kExtra1, r)), q.mid(1));
        }
        questions.sort();
        QCOMPARE(questions.removeDuplicates(), 0);
    }

    void frequency() {
        Fixture f;
        f.setRows({"a|x|c1", "A|y|c2", "b|z|c3", "c|w|c4", "c|v|c5", "C|u|c6"});
        f.form->StringGrid1->setCurrentCell(1, 6);
        f.form->FrequencyAnalysing1->trigger();
        QCOMPARE(f.column(kQuestion), (QStringList{"a", "b", "c"}));
        QCOMPARE(f.column(kAnswer), (QStringList{"2", "1", "3"}));
        QCOMPARE(f.column(kComment), (QStringList{"c1", "c2", "c3"}));
        QCOMPARE(f.form->StringGrid1->Row(), 3);
    }

    void findDownwardsThenEnd() {
        Fixture f;
        f.setRows({"cat", "dog", "concat cat", "cat-fish", "bird"});
        f.form->Find1Click();
        QVERIFY(f.form->Findnext1->isEnabled());
        QCOMPARE(f.dialogs.findShown, 1);
        f.form->StringGrid1->setCurrentCell(1, 2);
        f.dialogs.pressFind(QStringLiteral("CAT"));
        QCOMPARE(f.form->StringGrid1->Row(), 3); // every occurrence is examined
        f.form->Findnext1Click();
        QCOMPARE(f.form->StringGrid1->Row(), 4);
        QVERIFY(f.dialogs.messages.empty());
        f.form->Findnext1Click(); // nothing below: the end message, the row stays
        QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(f.dialogs.messages.back().text, QStringLiteral("End of vocabulary reached!"));
        QCOMPARE(f.dialogs.messages.back().caption, QStringLiteral("End of document"));
        QCOMPARE(f.form->StringGrid1->Row(), 4);
        f.form->Findnext1Click(); // starts again at row 1
        QCOMPARE(f.form->StringGrid1->Row(), 1);
        // match case on: "CAT" is nowhere
        f.dialogs.pressFind(QStringLiteral("CAT"), true);
        QCOMPARE(f.dialogs.messages.size(), std::size_t(2));
    }

    void findInLastRowAndInRussian() {
        Fixture f;
        f.setRows({"a", "b", "cat"});
        f.form->N1->setTitle(QStringLiteral("&Файл"));
        f.form->Find1Click();
        f.dialogs.pressFind(QStringLiteral("cat"));
        QCOMPARE(f.form->StringGrid1->Row(), 3);
        QCOMPARE(f.dialogs.messages.back().text, QStringLiteral("Достигнут конец словаря!"));
        QCOMPARE(f.dialogs.messages.back().caption, QStringLiteral("Конец документа"));
        QVERIFY(f.form->EndReached);
        QCOMPARE(f.form->LastFoundRow, 3);
    }

    void findNextWithEmptyTextDoesNothing() {
        Fixture f;
        f.setRows({"a", "b"});
        f.form->StringGrid1->setCurrentCell(1, 2);
        f.form->Findnext1Click();
        QCOMPARE(f.form->StringGrid1->Row(), 2);
        QVERIFY(f.dialogs.messages.empty());
        QCOMPARE(f.form->LastFoundRow, 0);
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
