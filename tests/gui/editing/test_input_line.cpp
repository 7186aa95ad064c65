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
        MainWindow& f = *w.form;
        w.setRows(initial);
        if (row != 1)
            w.clickCell(1, row);
        QTest::mouseClick(w.button("SpeedItem2"), Qt::LeftButton);
        QCOMPARE(f.editor().isEditMode(), false);
        QCOMPARE(QApplication::focusWidget(), w.box(0));
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
            QCOMPARE(QApplication::focusWidget(), w.box(0));
        }
        QCOMPARE(w.rows(), expected);
        QCOMPARE(f.grid()->row(), row);
        QCOMPARE(f.editor().isEditMode(), false);
        w.repaintGrid();
        QCOMPARE(w.label("Label3")->text(), QString::number(expected.size()));
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
        MainWindow& f = *w.form;
        const QStringList before = numbered(count);
        w.setRows(before);
        w.clickCell(2, row);
        QCOMPARE(QApplication::focusWidget(), w.editor());
        Window::key(Qt::Key_Return);

        QStringList expected = before;
        expected.insert(row, QStringLiteral("||||"));
        QCOMPARE(w.rows(), expected);
        QCOMPARE(f.grid()->row(), row + 1);
        QCOMPARE(f.grid()->column(), 1);
        QCOMPARE(f.editor().isEditMode(), true);
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
        MainWindow& f = *w.form;
        const QStringList before = numbered(count);
        w.setRows(before);
        w.clickCell(1, row);
        if (addWordsMode) {
            QTest::mouseClick(w.button("SpeedItem2"), Qt::LeftButton);
            // The focus reaches the grid without a selection.
            f.grid()->setFocus(Qt::TabFocusReason);
        }
        if (ctrlDel) {
            QCOMPARE(QApplication::focusWidget(), w.editor());
            Window::key(Qt::Key_Delete, Qt::ControlModifier);
        } else {
            QTest::mouseClick(w.button("SpeedItem6"), Qt::LeftButton);
        }

        QStringList expected = before;
        const bool deletes = !addWordsMode && count > 1;
        if (deletes)
            expected.removeAt(row - 1);
        QCOMPARE(w.rows(), expected);
        QCOMPARE(f.grid()->row(), expectedRow);
        QCOMPARE(w.box(0)->text(), expectedBox);
        QCOMPARE(f.editor().isEditMode(), !addWordsMode);
        // Ctrl+Del never edits the cell under the editor.
        QCOMPARE(w.editor()->text(),
                 QString::fromUtf8(w.cells().text(EntryGrid::entryOfRow(expectedRow), kQuestion)));
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
        MainWindow& f = *w.form;
        QStringList rows = numbered(4);
        // A byte that Windows-1252 leaves undefined must come back unchanged.
        rows[row - 1] = QStringLiteral("q|a|c|x|y");
        w.setRows(rows);
        w.doc().setText(EntryGrid::entryOfRow(row), kAnswer, "a\x81z");
        const Entry before = w.cells().entry(EntryGrid::entryOfRow(row)).toEntry();
        w.clickCell(1, row);
        w.clickBox(1);
        QCOMPARE(QApplication::focusWidget(), w.box(1));
        Window::key(static_cast<Qt::Key>(key));
        QCOMPARE(f.grid()->row(), expectedRow);
        QVERIFY(w.cells().entry(EntryGrid::entryOfRow(row)) == before);
        QCOMPARE(w.box(0)->text(),
                 QString::fromUtf8(w.cells().text(EntryGrid::entryOfRow(expectedRow), kQuestion)));
        QCOMPARE(QApplication::focusWidget(), w.box(1));
    }

    // Typing in the cell writes the box; typing in the box writes the row and the cell editor.
    void boxesAndCellsInStep() {
        Window w;
        w.setRows(numbered(3));
        w.clickCell(2, 2);
        Window::key(Qt::Key_End);
        Window::type(QStringLiteral("Z"));
        QCOMPARE(w.box(1)->text(), QStringLiteral("a2Z"));
        w.clickBox(1);
        Window::key(Qt::Key_End);
        Window::type(QStringLiteral("!?"));
        QCOMPARE(w.row(2), QStringLiteral("q2|a2Z!?|c2|x2|y2"));
        QCOMPARE(w.editor()->text(), QStringLiteral("a2Z!?"));
        Window::key(Qt::Key_Down);
        QCOMPARE(w.boxTexts(), (QStringList{"q3", "a3", "c3"}));
        Window::key(Qt::Key_Delete); // the cursor stands at the start after the move
        QCOMPARE(w.rows().mid(1), (QStringList{"q2|a2Z!?|c2|x2|y2", "q3|3|c3|x3|y3"}));
    }

    void staleBoxes_data() {
        QTest::addColumn<QString>("rewrite");
        QTest::newRow("rows exchanged, as a sort does") << "sort";
        QTest::newRow("fields swapped, as question<->answer does") << "swap";
        QTest::newRow("a row inserted above") << "insert";
        QTest::newRow("a change undone") << "undo";
    }

    // A command that rewrites the current row while the boxes show it: the boxes show the
    // entry now in the row at once, and a key edits that entry, never the former one.
    void staleBoxes() {
        QFETCH(QString, rewrite);
        Window w;
        MainWindow& f = *w.form;
        w.setRows({"q2|a2|c2", "q4|a4|c4", "q1|a1|c1", "q3|a3|c3"});
        w.clickCell(1, 2);
        w.clickBox(0);
        if (rewrite == QLatin1String("sort")) {
            f.lists().sortBy(kQuestion);
        } else if (rewrite == QLatin1String("swap")) {
            f.lists().swapQuestionAnswer();
        } else if (rewrite == QLatin1String("insert")) {
            w.doc().insertEntry(0, Entry{});
        } else {
            Window::key(Qt::Key_End);
            Window::type(QStringLiteral("Z"));
            w.clickCell(1, 3); // a new visit: a step of its own
            w.clickCell(1, 2);
            w.clickBox(0);
            w.action("Undo1")->trigger();
        }
        const QString rewritten = w.row(2);
        QCOMPARE(rewritten.startsWith(QLatin1String("q4|a4")), rewrite == QLatin1String("undo"));
        QCOMPARE(w.boxTexts(), rewritten.split(QLatin1Char('|')).mid(0, 3));
        const QString before = w.rows().join(QLatin1Char('/'));
        Window::key(Qt::Key_End);
        Window::type(QStringLiteral("X"));
        QCOMPARE(w.row(2).section(QLatin1Char('|'), 0, 0), rewritten.section('|', 0, 0) + "X");
        QCOMPARE(w.rows().join(QLatin1Char('/')).count(QLatin1Char('X')), 1);
        QVERIFY(before != w.rows().join(QLatin1Char('/')));
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
        MainWindow& f = *w.form;
        w.setRows(numbered(5));
        w.clickCell(2, 2);
        QTest::mouseClick(w.button("SpeedItem2"), Qt::LeftButton); // Add Words, boxes empty
        w.setLayoutNames({"00000409", "00000419", "00000407"});
        f.autoSwitch()->setChecked(true);
        w.layouts.clearActivationHistory();
        if (cause == QLatin1String("click")) {
            w.clickCell(3, 4);
        } else if (cause == QLatin1String("click current")) {
            w.clickCell(2, 2);
        } else if (cause == QLatin1String("down") || cause == QLatin1String("tab")) {
            f.grid()->setFocus(Qt::OtherFocusReason);
            Window::key(cause == QLatin1String("down") ? Qt::Key_Down : Qt::Key_Tab);
        } else if (cause == QLatin1String("program")) {
            f.grid()->setRow(5);
        } else if (cause == QLatin1String("shrink")) {
            w.setRows(numbered(1));
        } else {
            QTest::mouseClick(w.button("SpeedItem1"),
                              Qt::LeftButton); // Up walks only in Edit Words
            w.clickBox(0);
            Window::key(Qt::Key_Up);
        }
        QCOMPARE(f.grid()->column(), expectedColumn);
        QCOMPARE(f.grid()->row(), expectedRow);
        QCOMPARE(f.editor().isEditMode(), true);
        QVERIFY(w.button("SpeedItem1")->isChecked());
        QCOMPARE(w.boxTexts(), w.row(expectedRow).split(QLatin1Char('|')).mid(0, 3));
        QCOMPARE(f.grid()->font().family(),
                 QString::fromStdString(w.doc().font(expectedColumn - 1).face));
        // The layout of the column now current was activated last.
        QVERIFY(!w.layouts.activationHistory().isEmpty());
        QCOMPARE(w.layouts.activationHistory().last(),
                 QString::fromStdString(w.doc().header().layoutNames[expectedColumn - 1]));
    }

    // Alt+Down opens the font dialog, which takes the key's release; Esc closes it, and the
    // next Down walks one row.
    void downAfterAltDown() {
        Window w;
        w.setRows(numbered(3));
        w.clickCell(1, 1);
        w.clickBox(0);
        QTest::keyPress(w.box(0), Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(w.dialogs.fontDialogsShown, 1);
        Window::key(Qt::Key_Down);
        QCOMPARE(w.form->grid()->row(), 2);
        QCOMPARE(w.boxTexts(), (QStringList{"q2", "a2", "c2"}));
    }

    // A text longer than its box shows its start, in the boxes and in the cell, after every
    // move that fills them.
    void longTextsShowTheirStart() {
        Window w;
        const QString longText = QStringLiteral("start ") + QString(300, QLatin1Char('x'));
        w.setRows({longText + "|" + longText + "|" + longText, "q2|a2|c2"});
        for (const auto& [column, row] : {std::pair{2, 1}, {1, 2}, {3, 1}}) {
            w.clickCell(column, row);
            QCOMPARE(w.editor()->cursorPosition(), 0);
            for (int field = 0; field < 3; ++field)
                QCOMPARE(w.box(field)->cursorPosition(), 0);
        }
        w.clickBox(1);
        Window::key(Qt::Key_Down);
        Window::key(Qt::Key_Up); // the boxes refill from row 1
        QCOMPARE(w.box(2)->cursorPosition(), 0);
    }

    // Ctrl+Z in a box or in the grid undoes the document's last step (one field's typing in
    // one visit), Ctrl+Y redoes it, and the boxes follow; the title marks unsaved changes.
    void undoKeysUndoTheDocument() {
        Window w;
        w.load(test::kAnimals);
        QVERIFY(!w.form->isWindowModified());
        w.clickCell(1, 1);
        w.clickBox(1);
        Window::key(Qt::Key_End);
        Window::type(QStringLiteral("XY"));
        QCOMPARE(w.row(1), QStringLiteral("cat|KatzeXY|kat|0|0"));
        QVERIFY(w.form->isWindowModified());
        Window::key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.row(1), QStringLiteral("cat|Katze|kat|0|0"));
        QCOMPARE(w.box(1)->text(), QStringLiteral("Katze"));
        QVERIFY(!w.form->isWindowModified());
        Window::key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.box(1)->text(), QStringLiteral("KatzeXY"));
        w.clickCell(1, 2);
        Window::key(Qt::Key_End);
        Window::type(QStringLiteral("s"));
        QCOMPARE(w.row(2).section(QLatin1Char('|'), 0, 0), QStringLiteral("dogs"));
        Window::key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); // nothing to redo
        Window::key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.editor()->text(), QStringLiteral("dog"));
        Window::key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.row(1), QStringLiteral("cat|Katze|kat|0|0"));
    }

    void typingBringsTheCellIntoView() {
        Window w;
        MainWindow& f = *w.form;
        w.setRows(numbered(200));
        w.clickCell(1, 2);
        f.grid()->setTopRow(120);
        QVERIFY(!f.grid()->viewport()->rect().intersects(w.editor()->geometry()));
        QCOMPARE(QApplication::focusWidget(), w.editor());
        Window::type(QStringLiteral("x"));
        QCOMPARE(w.row(2), QStringLiteral("x|a2|c2|x2|y2"));
        QVERIFY(f.grid()->viewport()->rect().contains(w.editor()->geometry()));
        QVERIFY(f.grid()->topRow() <= 2);
    }

    void dragRowByHandle() {
        Window w;
        MainWindow& f = *w.form;
        w.setRows(numbered(5));
        w.clickCell(2, 4);
        QHeaderView* handles = f.grid()->verticalHeader();
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
        QVERIFY(!handles->sectionsMoved());
        QCOMPARE(f.grid()->row(), 3);
        QCOMPARE(w.box(0)->text(), QStringLiteral("q4"));
        // The handles still follow rows inserted and removed.
        QVERIFY(w.doc().insertEntry(1, Entry{}));
        QVERIFY(w.doc().deleteEntry(3));
        QCOMPARE(handles->count(), 5);
        QCOMPARE(handles->length(), 5 * 20);
    }

    void handlesFollowRows() {
        Window w;
        w.setRows(numbered(4));
        QHeaderView* handles = w.form->grid()->verticalHeader();
        QVERIFY(w.doc().insertEntry(1, Entry{}));
        QVERIFY(w.doc().insertEntry(5, Entry{}));
        QVERIFY(w.doc().deleteEntry(0));
        QCOMPARE(handles->count(), 5);
        QCOMPARE(handles->length(), 5 * 20);
        QCOMPARE(handles->sectionViewportPosition(4), 4 * 20);
        w.clickCell(1, 5);
        QCOMPARE(w.form->grid()->row(), 5);
    }

    void dragColumnByHeader() {
        Window w;
        MainWindow& f = *w.form;
        w.setRows(numbered(2));
        FieldFont courier = w.doc().font(kComment);
        courier.face = "Courier New";
        w.doc().setFont(kComment, courier);
        f.grid()->setColumnWidth(0, 200);
        w.clickCell(1, 1);
        QHeaderView* header = f.grid()->horizontalHeader();
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
        QCOMPARE(f.grid()->columnWidth(2), 200);
        QCOMPARE(f.grid()->column(), 3);
        QCOMPARE(f.grid()->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(w.box(2)->text(), QStringLiteral("q1"));
    }

    void resizeByDraggingLines() {
        Window w;
        MainWindow& f = *w.form;
        w.setRows(numbered(3));
        // The line between the handles of rows 1 and 2.
        QHeaderView* handles = f.grid()->verticalHeader();
        const int lineY = handles->sectionViewportPosition(1) - 1;
        QTest::mousePress(handles->viewport(), Qt::LeftButton, {}, QPoint(10, lineY));
        QTest::mouseMove(handles->viewport(), QPoint(10, lineY + 5));
        QTest::mouseMove(handles->viewport(), QPoint(10, lineY + 12));
        QTest::mouseRelease(handles->viewport(), Qt::LeftButton, {}, QPoint(10, lineY + 12));
        QCOMPARE(f.grid()->rowHeight(1), 32);
        QCOMPARE(f.grid()->rowHeight(2), 20);
        // Nothing moved and no cell was selected by grabbing the lines.
        QCOMPARE(w.rows(), numbered(3));
        QCOMPARE(f.editor().isEditMode(), false);
        // The editor follows the resized cell.
        QCOMPARE(w.editor()->geometry(), f.grid()->visualRect(f.grid()->currentIndex()));
        // A sized row keeps its height as rows come and go above it.
        QVERIFY(w.doc().insertEntry(0, Entry{}));
        QCOMPARE(f.grid()->rowHeight(1), 20);
        QCOMPARE(f.grid()->rowHeight(2), 32);
        QVERIFY(w.doc().deleteEntry(0));
        QCOMPARE(f.grid()->rowHeight(1), 32);
        QCOMPARE(f.grid()->rowHeight(2), 20);
    }

    void counterFollowsPaint() {
        Window w;
        MainWindow& f = *w.form;
        w.repaintGrid();
        QCOMPARE(w.label("Label3")->text(), QStringLiteral("1"));
        // While the Preferences page shows, the grid paints nothing.
        f.pages()->setCurrentIndex(1);
        w.setRows(numbered(6));
        QTest::qWait(20);
        QCOMPARE(w.label("Label3")->text(), QStringLiteral("1"));
        f.pages()->setCurrentIndex(0);
        QTRY_COMPARE(w.label("Label3")->text(), QStringLiteral("6"));
        w.setRows(numbered(2));
        QTRY_COMPARE(w.label("Label3")->text(), QStringLiteral("2"));
    }

    // The Enter that closes a message box is released where the focus lands afterwards: that
    // release alone must neither insert a row in the grid nor add an entry from the boxes.
    void releaseWithoutPressIsIgnored() {
        Window w;
        const QStringList before = numbered(3);
        w.setRows(before);
        w.clickCell(1, 2);
        QTest::keyRelease(w.editor(), Qt::Key_Return);
        QCOMPARE(w.rows(), before);
        QTest::keyRelease(w.editor(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(w.rows(), before);

        QTest::mouseClick(w.button("SpeedItem2"), Qt::LeftButton);
        Window::type(QStringLiteral("new"));
        QTest::keyRelease(w.box(0), Qt::Key_Return);
        QCOMPARE(w.rows(), before);
        Window::key(Qt::Key_Return); // a real press and release still adds the entry
        QCOMPARE(w.rowCount(), 5);
    }
};

QTEST_MAIN(TestInputLine)
#include "test_input_line.moc"
