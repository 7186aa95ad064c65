#pragma once

// The main window with scripted dialogs and in-memory keyboard layouts over a temporary
// folder that outlives restarts, and real key and mouse events sent where the focus is.

#include "core/ui_language/language_tables.h"
#include "document/document.h"
#include "gui/app/main_window.h"
#include "gui/app/speed_bar.h"
#include "gui/app/window_texts.h"
#include "gui/editing/combo_edit.h"
#include "gui/editing/entry_editor.h"
#include "gui/editing/entry_grid.h"
#include "gui/interchange/interchange_commands.h"
#include "gui/listops/list_commands.h"
#include "gui/ui_language/language_commands.h"
#include "gui/vocab/file_commands.h"
#include "gui/vocab/recent_files.h"
#include "platform/keyboard_layouts.h"
#include "support/scripted_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace lexanta::test {

inline const QString kAnimals = QStringLiteral(LEXANTA_TEST_DATA "/animals.lut");
inline const QString kRussian = QStringLiteral(LEXANTA_TEST_DATA "/russian_answers.lut");

struct WindowOptions {
    bool show = true;
    bool restore = false;               // read the settings files, and write them on close
    QString programFolder;              // empty: the temporary folder
    KeyboardLayouts* layouts = nullptr; // empty: the in-memory layouts
    QString dataFolder;                 // empty: a folder in the temporary folder
    QString fileToOpen;                 // as named on the command line

    static WindowOptions shown(bool show) {
        WindowOptions o;
        o.show = show;
        return o;
    }
    static WindowOptions withSettings() {
        WindowOptions o;
        o.restore = true;
        return o;
    }
};

struct Window {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    MemoryKeyboardLayouts layouts;
    WindowOptions options;
    std::unique_ptr<MainWindow> form;

    explicit Window(bool show = true) : Window(WindowOptions::shown(show)) {}
    explicit Window(WindowOptions o) : options(std::move(o)) { start(); }

    void start() {
        WindowServices s;
        s.dialogs = &dialogs;
        s.keyboardLayouts = options.layouts ? options.layouts : &layouts;
        s.restoreSettings = options.restore;
        s.programFolder = options.programFolder.isEmpty() ? dir.path() : options.programFolder;
        s.configFolder = dir.path();
        s.dataFolder = options.dataFolder.isEmpty() ? dir.filePath(QStringLiteral("data"))
                                                    : options.dataFolder;
        s.fileToOpen = options.fileToOpen;
        form = std::make_unique<MainWindow>(s);
        if (options.show) {
            form->show();
            form->activateWindow();
            if (!QTest::qWaitForWindowActive(form.get()))
                qWarning("the window did not become active");
        }
    }
    // Closes with No at the save prompt (which writes the settings) and ends the window.
    void quit() {
        dialogs.messageAnswers.push_back(MsgResult::No);
        QVERIFY(form->close());
        form.reset();
    }
    void restart() {
        quit();
        dialogs = ScriptedDialogs{};
        start();
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qWarning("cannot write %s", qPrintable(f.fileName()));
        return f.fileName();
    }
    QString copy(const QString& source, const QString& name) const {
        return write(name, read(source));
    }
    static QByteArray read(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // File > Load with the file chosen in its dialog.
    void load(const QString& file) {
        dialogs.fileAnswers.push_back({file});
        form->files().openFile();
    }

    Document& doc() const { return form->document(); }
    const EntryTable& cells() const { return form->document().entries(); }
    // Grid rows, the header row included; row(r) is the entry grid row r shows.
    int rowCount() const { return grid()->rowCount(); }
    EntryGrid* grid() const { return form->grid(); }
    QLineEdit* editor() const { return form->grid()->inplaceEditor(); }
    ComboEdit* box(int field) const { return form->editor().box(field); }
    // Controls and actions by design name.
    template <typename T = QWidget> T* control(const char* name) const {
        T* c = form->findChild<T*>(QString::fromLatin1(name));
        if (!c)
            qWarning("no control %s", name);
        return c;
    }
    QAction* action(const char* name) const { return control<QAction>(name); }
    QToolButton* button(const char* name) const { return control<QToolButton>(name); }
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(name); }
    QLabel* label(const char* name) const { return control<QLabel>(name); }
    QMenu* menu(const char* name) const { return control<QMenu>(name); }
    QString hint(const char* name) const { return form->speedBar()->hint(button(name)); }
    void setLayoutNames(const std::array<std::string, 3>& names) const {
        for (int field = 0; field < 3; ++field)
            doc().setLayoutName(field, names[static_cast<std::size_t>(field)]);
    }
    void setFontCharset(int field, int charset) const {
        FieldFont f = doc().font(field);
        f.charset = charset;
        doc().setFont(field, f);
    }

    // Rows as "question|answer|comment|extra1|extra2" (missing fields empty), made with the
    // document's own editing steps.
    void setRows(const QStringList& rows) const {
        Document& d = doc();
        const int wanted = std::max(static_cast<int>(rows.size()), 1);
        while (d.entries().entryCount() > wanted)
            d.deleteEntry(d.entries().entryCount() - 1);
        while (d.entries().entryCount() < wanted)
            d.insertEntry(d.entries().entryCount(), Entry{});
        for (int i = 0; i < wanted; ++i) {
            const QStringList f = i < rows.size() ? rows[i].split(QLatin1Char('|')) : QStringList();
            for (int c = 0; c < kFieldCount; ++c)
                d.setText(i, c, c < f.size() ? f[c].toStdString() : std::string());
        }
    }
    QString row(int r) const {
        const EntryView e = cells().entry(EntryGrid::entryOfRow(r));
        QStringList f;
        for (int c = 0; c < kFieldCount; ++c)
            f << QString::fromUtf8(e[c]);
        return f.join(QLatin1Char('|'));
    }
    QStringList rows() const {
        QStringList all;
        for (int r = 1; r < rowCount(); ++r)
            all << row(r);
        return all;
    }
    // One field of every entry.
    QStringList column(int field) const {
        QStringList out;
        for (int i = 0; i < cells().entryCount(); ++i)
            out << QString::fromUtf8(cells().text(i, field));
        return out;
    }
    QStringList boxTexts() const { return {box(0)->text(), box(1)->text(), box(2)->text()}; }

    // What the window shows for one row of the interface text table.
    QString shownText(const InterfaceText& text) const {
        const QString name = QString::fromLatin1(text.control);
        if (text.kind == TextKind::Hint)
            return form->speedBar()->hint(form->speedBar()->button(name));
        if (text.kind == TextKind::Filter)
            return form->texts().filter(name).value_or(QStringLiteral("<no dialog>"));
        for (const SpeedBar::Section& s : form->speedBar()->sections())
            if (s.objectName == name)
                return s.caption;
        QObject* control = form->findChild<QObject*>(name);
        if (auto* page = qobject_cast<QWidget*>(control); page && form->pages()->indexOf(page) >= 0)
            return form->pages()->tabText(form->pages()->indexOf(page));
        if (!control)
            return QStringLiteral("<no control>");
        // menus and group boxes have a title, actions, labels and buttons a text
        const QVariant title = control->property("title");
        return (title.isValid() ? title : control->property("text")).toString();
    }
    QStringList shownTexts() const {
        QStringList texts;
        for (const InterfaceText& t : interfaceTexts())
            texts << shownText(t);
        return texts;
    }

    // Clicks the grid cell (column, row); the current cell is covered by the editor.
    void clickCell(int column, int row) {
        EntryGrid* g = grid();
        const QModelIndex index =
            g->model()->index(EntryGrid::entryOfRow(row), EntryGrid::fieldOfColumn(column));
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
