// The entry grid and the input line with real key and mouse events: Add Words and Edit Words
// modes, Enter in the grid, deletion, walking with Up and Down, boxes kept in step with
// rewritten rows, the selection handler on every move, drags and the entry counter.
#include "support/window_fixture.h"

#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

using namespace lexanta;
using lexanta::test::Window;

namespace {

QStringList numbered(int count) {
    QStringList rows;
    for (int i = 1; i <= count; ++i)
        rows << QStringLiteral("q%1|a%1|c%1|x%1|y%1").arg(i);
    return rows;
}

} // namespace

class TestInputLine : public QObject {
    Q_OBJECT

private slots:
    void addWords_data() {
        QTest::addColumn<QStringList>("initial");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("typed"); // "q|a|c", typed with Tab between the boxes
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("new vocabulary")
            << QStringList{QString()} << 1 << QStringList{QStringLiteral("house|Haus|")}
            << QStringList{QStringLiteral("house|Haus||0|0"), QStringLiteral("||||")};
        QStringList eight = numbered(8);
        QStringList afterThree = eight.mid(0, 4);
        afterThree << QStringLiteral("third|3||0|0") << QStringLiteral("second|2||0|0")
                   << QStringLiteral("first|1|one|0|0") << eight.mid(4);
        QTest::newRow("three at row 5 of 8")
            << eight << 5
            << QStringList{QStringLiteral("first|1|one"), QStringLiteral("second|2|"),
                           QStringLiteral("third|3|")}
            << afterThree;
        QTest::newRow("three empty boxes")
            << numbered(2) << 2 << QStringList{QStringLiteral("||")}
            << QStringList{numbered(2)[0], QStringLiteral("|||0|0"), numbered(2)[1]};
    }

    void addWords() {
        QFETCH(QStringList, initial);
        QFETCH(int, row);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, expected);
        Window w;
        TForm1& f = *w.form;
        w.setRows(initial);
        if (row != 1)
            w.clickCell(1, row);
        QTest::mouseClick(f.SpeedItem2, Qt::LeftButton);
        QCOMPARE(f.EditMode, false);
        QCOMPARE(QApplication::focusWidget(), f.ComboEdit1);
        for (const QString& entry : typed) {
            const QStringList fields = entry.split(QLatin1Char('|'));
            for (int i = 0; i < 3; ++i) {
                Window::type(fields[i]);
                if (i < 2 && !fields[i + 1].isEmpty())
                    Window::key(Qt::Key_Tab);
            }
            Window::key(Qt::Key_Return);
            // The boxes are emptied and the question box has the focus again.
            QCOMPARE(w.boxTexts(), QStringList(3, QString()));
            QCOMPARE(QApplication::focusWidget(), f.ComboEdit1);
        }
        QCOMPARE(w.rows(), expected);
        QCOMPARE(f.StringGrid1->Row(), row);
        QCOMPARE(f.EditMode, false);
        w.repaintGrid();
        QCOMPARE(f.Label3->text(), QString::number(expected.size()));
    }

    void enterInGrid_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("row");
        QTest::newRow("last row of four") << 4 << 4;
        QTest::newRow("row 3 of 10") << 10 << 3;
    }

    void enterInGrid() {
        QFETCH(int, count);
        QFETCH(int, row);
        Window w;
        TForm1& f = *w.form;
        const QStringList before = numbered(count);
        w.setRows(before);
        w.clickCell(2, row);
        QCOMPARE(QApplication::focusWidget(), w.editor());
        Window::key(Qt::Key_Return);

        QStringList expected = before;
        expected.insert(row, QStringLiteral("||||"));
        QCOMPARE(w.rows(), expected);
        QCOMPARE(f.StringGrid1->Row(), row + 1);
        QCOMPARE(f.StringGrid1->Col(), 1);
        QCOMPARE(f.EditMode, true);
        QCOMPARE(w.boxTexts(), QStringList(3, QString()));
        QCOMPARE(w.editor()->text(), QString());
        // Enter pressed in the editor changed nothing in the row it left.
        QCOMPARE(w.row(row), before[row - 1]);
        QCOMPARE(QApplication::focusWidget(), w.editor());
    }

    void deleteEntry_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("addWordsMode");
        QTest::addColumn<bool>("ctrlDel"); // else the Delete words button
        QTest::addColumn<int>("expectedRow");
        QTest::addColumn<QString>("expectedBox"); // question box afterwards

        QTest::newRow("last of five, button") << 5 << 5 << false << false << 4 << "q4";
        QTest::newRow("row 2 of five, ctrl+del") << 5 << 2 << false << true << 2 << "q3";
        QTest::newRow("only row, button") << 1 << 1 << false << false << 1 << "q1";
        QTest::newRow("add words, ctrl+del") << 5 << 2 << true << true << 2 << "";
    }

    void deleteEntry() {
        QFETCH(int, count);
        QFETCH(int, row);
        QFETCH(bool, addWordsMode);
        QFETCH(bool, ctrlDel);
        QFETCH(int, expectedRow);
        QFETCH(QString, expectedBox);
        Window w;
        TForm1& f = *w.form;
        const QStringList before = numbered(count);
        w.setRows(before);
        w.clickCell(1, row);
        if (addWordsMode) {
            QTest::mouseClick(f.SpeedItem2, Qt::LeftButton);
            // The focus reaches the grid without a selection.
            f.StringGrid1->setFocus(Qt::TabFocusReason);
        }
        if (ctrlDel) {
            QCOMPARE(QApplication::focusWidget(), w.editor());
            Window::key(Qt::Key_Delete, Qt::ControlModifier);
        } else {
            QTest::mouseClick(f.SpeedItem6, Qt::LeftButton);
        }

        QStringList expected = before;
        const bool deletes = !addWordsMode && count > 1;
        if (deletes)
            expected.removeAt(row - 1);
        QCOMPARE(w.rows(), expected);
        QCOMPARE(f.StringGrid1->Row(), expectedRow);
        QCOMPARE(f.ComboEdit1->text(), expectedBox);
        QCOMPARE(f.EditMode, !addWordsMode);
        // Ctrl+Del never edits the cell under the editor.
        QCOMPARE(w.editor()->text(), QString::fromUtf8(f.cells().cell(1, expectedRow)));
    }

    void upDownAtBothEnds_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expectedRow");
        QTest::newRow("up on row 1") << 1 << int(Qt::Key_Up) << 1;
        QTest::newRow("down on the last row") << 4 << int(Qt::Key_Down) << 4;
        QTest::newRow("up on row 3") << 3 << int(Qt::Key_Up) << 2;
    }

    void upDownAtBothEnds() {
        QFETCH(int, row);
        QFETCH(int, key);
        QFETCH(int, expectedRow);
        Window w;
        TForm1& f = *w.form;
        QStringList rows = numbered(4);
        // A byte that Windows-1252 leaves undefined must come back unchanged.
        rows[row - 1] = QStringLiteral("q|a|c|x|y");
        w.setRows(rows);
        f.cells().setCell(kAnswer, row, "a\x81z");
        const Entry before = f.cells().entry(row).toEntry();
        w.clickCell(1, row);
        w.clickBox(1);
        QCOMPARE(QApplication::focusWidget(), f.ComboEdit2);
        Window::key(static_cast<Qt::Key>(key));
        QCOMPARE(f.StringGrid1->Row(), expectedRow);
        QVERIFY(f.cells().entry(row) == before);
        QCOMPARE(f.ComboEdit1->text(), QString::fromUtf8(f.cells().cell(1, expectedRow)));
        QCOMPARE(QApplication::focusWidget(), f.ComboEdit2);
    }

    // Typing in the cell writes the box; typing in the box writes the row and the cell editor.
    void boxesAndCellsInStep() {
        Window w;
        w.setRows(numbered(3));
        w.clickCell(2, 2);
        Window::key(Qt::Key_End);
        Window::type(QStringLiteral("Z"));
        QCOMPARE(w.form->ComboEdit2->text(), QStringLiteral("a2Z"));
        w.clickBox(1);
        Window::key(Qt::Key_End);
        Window::type(QStringLiteral("!?"));
        QCOMPARE(w.row(2), QStringLiteral("q2|a2Z!?|c2|x2|y2"));
        QCOMPARE(w.editor()->text(), QStringLiteral("a2Z!?"));
        Window::key(Qt::Key_Down);
        QCOMPARE(w.boxTexts(), (QStringList{"q3", "a3", "c3"}));
        Window::key(Qt::Key_Backspace);
        QCOMPARE(w.rows().mid(1), (QStringList{"q2|a2Z!?|c2|x2|y2", "q3|a|c3|x3|y3"}));
    }

    void staleBoxes_data() {
        QTest::addColumn<QString>("rewrite");
        QTest::newRow("rows exchanged, as a sort does") << "exchange";
        QTest::newRow("fields swapped, as question<->answer does") << "swap";
        QTest::newRow("a row inserted above") << "insert";
        QTest::newRow("rewrite, then refresh") << "refresh";
    }

    void staleBoxes() {
        QFETCH(QString, rewrite);
        Window w;
        TForm1& f = *w.form;
        w.setRows(numbered(4));
        w.clickCell(1, 2);
        w.clickBox(0);
        EntryTable& t = f.cells();
        if (rewrite == QLatin1String("exchange") || rewrite == QLatin1String("refresh"))
            t.exchangeRows(2, 4);
        else if (rewrite == QLatin1String("swap"))
            t.setEntry(2, Entry{{"a2", "q2", "c2", "x2", "y2"}});
        else
            t.insertRows(1, 1);
        const QString rewritten = w.row(2);
        const bool refreshed = rewrite == QLatin1String("refresh");
        if (refreshed)
            f.refreshBoxesAfterRewrite();
        else // the boxes still show the entry that was there
            QCOMPARE(w.boxTexts(), (QStringList{"q2", "a2", "c2"}));
        f.statusBar()->clearMessage();

        if (refreshed) {
            Window::key(Qt::Key_End);
            Window::type(QStringLiteral("X"));
            QCOMPARE(w.row(2).section(QLatin1Char('|'), 0, 0), rewritten.section('|', 0, 0) + "X");
            return;
        }
        Window::type(QStringLiteral("X"));
        // The row keeps the entry that is now there, the boxes show it, and the user is told.
        QCOMPARE(w.row(2), rewritten);
        QCOMPARE(w.boxTexts(), rewritten.split(QLatin1Char('|')).mid(0, 3));
        QVERIFY(!f.statusBar()->currentMessage().isEmpty());
        // The next key edits the entry the boxes now show.
        Window::key(Qt::Key_End);
        Window::type(QStringLiteral("Y"));
        QCOMPARE(w.row(2).section(QLatin1Char('|'), 0, 0), rewritten.section('|', 0, 0) + "Y");
        // The entry the boxes showed before was never written to.
        QVERIFY(!w.rows().join(QLatin1Char('/')).contains(QLatin1Char('X')));
    }

    void everyMoveSelects_data() {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<int>("expectedColumn");
        QTest::addColumn<int>("expectedRow");
        QTest::newRow("click on another cell") << "click" << 3 << 4;
        QTest::newRow("click on the current cell") << "click current" << 2 << 2;
        QTest::newRow("down key in the grid") << "down" << 2 << 3;
        QTest::newRow("tab in the grid") << "tab" << 3 << 2;
        QTest::newRow("program sets the row") << "program" << 2 << 5;
        QTest::newRow("row count drops below the current row") << "shrink" << 2 << 1;
        QTest::newRow("up in an input box") << "box up" << 2 << 1;
    }

    void everyMoveSelects() {
        QFETCH(QString, cause);
        QFETCH(int, expectedColumn);
        QFETCH(int, expectedRow);
        Window w;
        TForm1& f = *w.form;
        w.setRows(numbered(5));
        w.clickCell(2, 2);
        QTest::mouseClick(f.SpeedItem2, Qt::LeftButton); // Add Words, boxes empty
        f.FieldLayoutNames() = {"00000409", "00000419", "00000407"};
        f.CheckBox1->setChecked(true);
        w.layouts.clearActivationHistory();
        if (cause == QLatin1String("click")) {
            w.clickCell(3, 4);
        } else if (cause == QLatin1String("click current")) {
            w.clickCell(2, 2);
        } else if (cause == QLatin1String("down") || cause == QLatin1String("tab")) {
            f.StringGrid1->setFocus(Qt::OtherFocusReason);
            Window::key(cause == QLatin1String("down") ? Qt::Key_Down : Qt::Key_Tab);
        } else if (cause == QLatin1String("program")) {
            f.StringGrid1->setRow(5);
        } else if (cause == QLatin1String("shrink")) {
            f.cells().setRowCount(2);
        } else {
            QTest::mouseClick(f.SpeedItem1, Qt::LeftButton); // Up walks only in Edit Words
            w.clickBox(0);
            Window::key(Qt::Key_Up);
        }
        QCOMPARE(f.StringGrid1->Col(), expectedColumn);
        QCOMPARE(f.StringGrid1->Row(), expectedRow);
        QCOMPARE(f.EditMode, true);
        QVERIFY(f.SpeedItem1->isChecked());
        QCOMPARE(w.boxTexts(), w.row(expectedRow).split(QLatin1Char('|')).mid(0, 3));
        QCOMPARE(f.StringGrid1->font().family(),
                 QString::fromStdString(f.FieldFontOf(expectedColumn - 1).face));
        // The layout of the column now current was activated last.
        QVERIFY(!w.layouts.activationHistory().isEmpty());
        QCOMPARE(w.layouts.activationHistory().last(),
                 QString::fromStdString(f.FieldLayoutNames()[expectedColumn - 1]));
    }

    void typingBringsTheCellIntoView() {
        Window w;
        TForm1& f = *w.form;
        w.setRows(numbered(200));
        w.clickCell(1, 2);
        f.StringGrid1->setTopRow(120);
        QVERIFY(!f.StringGrid1->viewport()->rect().intersects(w.editor()->geometry()));
        QCOMPARE(QApplication::focusWidget(), w.editor());
        Window::type(QStringLiteral("x"));
        QCOMPARE(w.row(2), QStringLiteral("x|a2|c2|x2|y2"));
        QVERIFY(f.StringGrid1->viewport()->rect().contains(w.editor()->geometry()));
        QVERIFY(f.StringGrid1->topRow() <= 2);
    }

    void dragRowByHandle() {
        Window w;
        TForm1& f = *w.form;
        w.setRows(numbered(5));
        w.clickCell(2, 4);
        QHeaderView* handles = f.StringGrid1->verticalHeader();
        // A drop on the lower half of a row puts the dragged row there.
        const auto centre = [&](int row) {
            return QPoint(10, handles->sectionViewportPosition(row - 1) + 15);
        };
        QTest::mousePress(handles->viewport(), Qt::LeftButton, {}, centre(1));
        for (int y = centre(1).y(); y <= centre(4).y(); y += 5)
            QTest::mouseMove(handles->viewport(), QPoint(10, y));
        QTest::mouseRelease(handles->viewport(), Qt::LeftButton, {}, centre(4));
        const QStringList n = numbered(5);
        QCOMPARE(w.rows(), (QStringList{n[1], n[2], n[3], n[0], n[4]}));
        // The sections stay in their places; the current cell went with its entry.
        QCOMPARE(handles->logicalIndex(0), 0);
        QCOMPARE(f.StringGrid1->Row(), 3);
        QCOMPARE(f.ComboEdit1->text(), QStringLiteral("q4"));
    }

    void dragColumnByHeader() {
        Window w;
        TForm1& f = *w.form;
        w.setRows(numbered(2));
        f.FieldFontOf(kCommentField).face = "Courier New";
        f.StringGrid1->setColumnWidth(0, 200);
        w.clickCell(1, 1);
        QHeaderView* header = f.StringGrid1->horizontalHeader();
        const auto centre = [&](int column) {
            return QPoint(header->sectionViewportPosition(column - 1) +
                              header->sectionSize(column - 1) * 3 / 4,
                          10);
        };
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, centre(1));
        for (int x = centre(1).x(); x <= centre(3).x(); x += 10)
            QTest::mouseMove(header->viewport(), QPoint(x, 10));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, centre(3));
        // The questions now stand in the comment column and take its role and font.
        QCOMPARE(w.row(1), QStringLiteral("a1|c1|q1|x1|y1"));
        QCOMPARE(header->logicalIndex(0), 0);
        QCOMPARE(f.StringGrid1->columnWidth(2), 200);
        QCOMPARE(f.StringGrid1->Col(), 3);
        QCOMPARE(f.StringGrid1->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(f.ComboEdit3->text(), QStringLiteral("q1"));
    }

    void resizeByDraggingLines() {
        Window w;
        TForm1& f = *w.form;
        w.setRows(numbered(3));
        // The line between the handles of rows 1 and 2.
        QHeaderView* handles = f.StringGrid1->verticalHeader();
        const int lineY = handles->sectionViewportPosition(1) - 1;
        QTest::mousePress(handles->viewport(), Qt::LeftButton, {}, QPoint(10, lineY));
        QTest::mouseMove(handles->viewport(), QPoint(10, lineY + 5));
        QTest::mouseMove(handles->viewport(), QPoint(10, lineY + 12));
        QTest::mouseRelease(handles->viewport(), Qt::LeftButton, {}, QPoint(10, lineY + 12));
        QCOMPARE(f.StringGrid1->rowHeight(1), 32);
        QCOMPARE(f.StringGrid1->rowHeight(2), 20);
        // Nothing moved and no cell was selected by grabbing the lines.
        QCOMPARE(w.rows(), numbered(3));
        QCOMPARE(f.EditMode, false);
        // The editor follows the resized cell.
        QCOMPARE(w.editor()->geometry(), f.StringGrid1->visualRect(f.StringGrid1->currentIndex()));
    }

    void counterFollowsPaint() {
        Window w;
        TForm1& f = *w.form;
        w.repaintGrid();
        QCOMPARE(f.Label3->text(), QStringLiteral("1"));
        // While the Preferences page shows, the grid paints nothing.
        f.PageControl1->setCurrentIndex(1);
        w.setRows(numbered(6));
        QTest::qWait(20);
        QCOMPARE(f.Label3->text(), QStringLiteral("1"));
        f.PageControl1->setCurrentIndex(0);
        QTRY_COMPARE(f.Label3->text(), QStringLiteral("6"));
        f.cells().setRowCount(3);
        QTRY_COMPARE(f.Label3->text(), QStringLiteral("2"));
    }

    // The Enter that closes a message box is released where the focus lands afterwards: that
    // release alone must neither insert a row in the grid nor add an entry from the boxes.
    void releaseWithoutPressIsIgnored() {
        Window w;
        TForm1& f = *w.form;
        const QStringList before = numbered(3);
        w.setRows(before);
        w.clickCell(1, 2);
        QTest::keyRelease(w.editor(), Qt::Key_Return);
        QCOMPARE(w.rows(), before);
        QTest::keyRelease(w.editor(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(w.rows(), before);

        QTest::mouseClick(f.SpeedItem2, Qt::LeftButton);
        Window::type(QStringLiteral("new"));
        QTest::keyRelease(f.ComboEdit1, Qt::Key_Return);
        QCOMPARE(w.rows(), before);
        Window::key(Qt::Key_Return); // a real press and release still adds the entry
        QCOMPARE(f.RowCount(), 5);
    }
};

QTEST_MAIN(TestInputLine)
#include "test_input_line.moc"
