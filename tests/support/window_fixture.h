#pragma once

// A shown main window with scripted dialogs and in-memory keyboard layouts, and real key
// events sent where the focus is, as the keyboard would.

#include "app/tform1.h"
#include "editing/ui/combo_edit.h"
#include "editing/ui/entry_grid.h"
#include "platform/keyboard_layouts.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace lexanta::test {

struct Window {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    MemoryKeyboardLayouts layouts;
    std::unique_ptr<TForm1> form;

    explicit Window(bool show = true) {
        FormServices s;
        s.dialogs = &dialogs;
        s.keyboardLayouts = &layouts;
        s.restoreSettings = false;
        s.programFolder = dir.path();
        s.configFolder = dir.path();
        form = std::make_unique<TForm1>(s);
        if (show) {
            form->show();
            form->activateWindow();
            if (!QTest::qWaitForWindowActive(form.get()))
                qWarning("the window did not become active");
        }
    }

    EntryGrid* grid() const { return form->StringGrid1; }
    QLineEdit* editor() const { return form->StringGrid1->inplaceEditor(); }
    ComboEdit* box(int field) const {
        ComboEdit* const boxes[] = {form->ComboEdit1, form->ComboEdit2, form->ComboEdit3};
        return boxes[field];
    }

    // Rows as "question|answer|comment|extra1|extra2" (missing fields empty).
    void setRows(const QStringList& rows) {
        EntryTable& t = form->cells();
        t.setRowCount(static_cast<int>(rows.size()) + 1);
        for (int r = 0; r < rows.size(); ++r) {
            Entry e;
            const QStringList f = rows[r].split(QLatin1Char('|'));
            for (int c = 0; c < f.size() && c < kStoredColumns; ++c)
                e[c + 1] = f[c].toStdString();
            t.setEntry(r + 1, e);
        }
    }
    QString row(int r) const {
        const Entry& e = form->cells().entry(r);
        QStringList f;
        for (int c = 1; c <= kStoredColumns; ++c)
            f << QString::fromStdString(e[c]);
        return f.join(QLatin1Char('|'));
    }
    QStringList rows() const {
        QStringList all;
        for (int r = 1; r < form->RowCount(); ++r)
            all << row(r);
        return all;
    }
    QStringList boxTexts() const { return {box(0)->text(), box(1)->text(), box(2)->text()}; }

    // Clicks the grid cell (column, row); the current cell is covered by the editor.
    void clickCell(int column, int row) {
        EntryGrid* g = grid();
        const QModelIndex index = g->model()->index(row - 1, column - 1);
        g->scrollTo(index);
        if (g->currentIndex() == index) {
            QTest::mouseClick(editor(), Qt::LeftButton, {}, editor()->rect().center());
        } else {
            QWidget* viewport = g->viewport();
            QTest::mousePress(viewport, Qt::LeftButton, {}, g->visualRect(index).center());
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, g->visualRect(index).center());
        }
    }
    void clickBox(int field) {
        QTest::mouseClick(box(field), Qt::LeftButton, {}, QPoint(20, box(field)->height() / 2));
    }

    // A key pressed and released where the focus is (the release goes where the focus went).
    static void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyPress(QApplication::focusWidget(), k, mods);
        QTest::keyRelease(QApplication::focusWidget(), k, mods);
    }
    // Typed text, one character at a time (works for any script).
    static void type(const QString& text) {
        for (const QChar c : text) {
            QWidget* w = QApplication::focusWidget();
            QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    // Paints the grid now, as the window does after every change.
    void repaintGrid() const {
        grid()->viewport()->repaint();
        grid()->horizontalHeader()->viewport()->repaint();
    }
};

} // namespace lexanta::test
