// Times the main window over a vocabulary of 1,000,000 entries: loading it into the grid,
// scrolling, selecting cells, typing in place and in the input boxes, inserting and deleting
// rows near the top, the font size rule and a column drag. Also the memory the load takes:
// the peak while loading and what stays, above the window before the load, in MB and in
// multiples of the file's size.
//   bench_window_grid [entries]   (run with QT_QPA_PLATFORM=offscreen or on a display)
#include "core/vocab/lut_format.h"
#include "document/document.h"
#include "gui/app/main_window.h"
#include "gui/editing/combo_edit.h"
#include "gui/editing/entry_editor.h"
#include "gui/editing/entry_grid.h"
#include "gui/vocab/file_commands.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/keyboard_layouts.h"

#include "quiet_dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace lexanta;

namespace {

std::string vocabulary(int entries) {
    std::string out = "Vocabulary Format 1\r\nEnglish\r\nRussian\r\nBench\r\nBench\r\n"
                      "01.01.2024\r\n00000409\r\n00000419\r\n00000409\r\n10\r\n";
    const char* fonts[] = {"Arial\r\n-2147483640\r\n0\r\n0\r\n0\r\n0\r\n1\r\n",
                           "Arial\r\n0\r\n1\r\n0\r\n0\r\n0\r\n204\r\n",
                           "Arial\r\n-2147483640\r\n0\r\n1\r\n0\r\n0\r\n0\r\n"};
    for (const char* f : fonts)
        out += f;
    out += "0\r\n";
    const CodePage& cyrillic = CodePage::get(1251);
    const std::string answer = cyrillic.encode(QStringLiteral("слово")).bytes;
    for (int i = 0; i < entries; ++i) {
        const std::string n = std::to_string(i);
        out += "word" + n + "\r\n[w" + n + "]\r\n" + answer + n + "\r\n0\r\n0";
        if (i + 1 < entries)
            out += "\r\n";
    }
    return out;
}

struct Stats {
    std::vector<double> ms;
    void add(double v) { ms.push_back(v); }
    void print(const char* what) {
        std::sort(ms.begin(), ms.end());
        double sum = 0;
        for (double v : ms)
            sum += v;
        std::printf("%-44s n=%-4zu mean %8.3f ms  median %8.3f ms  max %8.3f ms\n", what, ms.size(),
                    sum / ms.size(), ms[ms.size() / 2], ms.back());
    }
};

double elapsedMs(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

// VmRSS or VmHWM of this process, in MB.
double residentMb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string name;
    double kb = 0;
    while (status >> name) {
        if (name == std::string(field) + ":") {
            status >> kb;
            break;
        }
        status.ignore(1 << 10, '\n');
    }
    return kb / 1024;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int entries = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.lut"));
    if (!writeWholeFile(path, vocabulary(entries))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    bench::QuietDialogs dialogs;
    MemoryKeyboardLayouts layouts;
    WindowServices s;
    s.dialogs = &dialogs;
    s.keyboardLayouts = &layouts;
    s.restoreSettings = false;
    s.programFolder = s.configFolder = dir.path();
    MainWindow form(s);
    form.resize(1000, 760);
    form.show();
    form.activateWindow();
    (void)QTest::qWaitForWindowActive(&form);
    EntryGrid* grid = form.grid();
    std::mt19937 random(7);
    QElapsedTimer t;

    std::printf("entries: %d\n", entries);
    {
        // The same read without a window, for comparison.
        std::string bytes;
        (void)readWholeFile(path, bytes);
        Vocabulary alone;
        t.start();
        readVocabulary(bytes, alone);
        std::printf("%-44s %8.1f ms\n", "read into a table without a window", elapsedMs(t));
    }
    // The memory of the steps above goes back to the system, and the peak starts from here.
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    const double before = residentMb("VmRSS");
    t.start();
    form.files().loadFile(path);
    const double load = elapsedMs(t);
    t.restart();
    grid->viewport()->repaint();
    std::printf("%-44s %8.1f ms (then first paint %.1f ms)\n", "load into the window", load,
                elapsedMs(t));
    const double fileMb = static_cast<double>(QFileInfo(path).size()) / (1 << 20);
    const double peak = residentMb("VmHWM") - before;
    const double kept = residentMb("VmRSS") - before;
    std::printf("%-44s %8.1f MB (%.2f x the file), kept %.1f MB (%.2f x)\n",
                "memory of the load: peak", peak, peak / fileMb, kept, kept / fileMb);
    if (form.document().entries().entryCount() != entries) {
        std::fprintf(stderr, "expected %d entries, got %d\n", entries,
                     form.document().entries().entryCount());
        return 1;
    }

    Stats scroll;
    for (int i = 0; i < 200; ++i) {
        t.restart();
        grid->setTopRow(std::uniform_int_distribution<int>(1, entries)(random));
        grid->viewport()->repaint();
        scroll.add(elapsedMs(t));
    }
    scroll.print("scroll to a random row and paint");

    Stats thumb;
    QScrollBar* bar = grid->verticalScrollBar();
    for (int i = 0; i <= 100; ++i) {
        t.restart();
        bar->setValue(bar->maximum() / 100 * i);
        grid->viewport()->repaint();
        thumb.add(elapsedMs(t));
    }
    thumb.print("drag the scroll thumb (1% steps) and paint");

    Stats select;
    for (int i = 0; i < 200; ++i) {
        const int column = std::uniform_int_distribution<int>(1, 3)(random);
        const int row = std::uniform_int_distribution<int>(1, entries)(random);
        t.restart();
        grid->setCurrentCell(column, row);
        grid->viewport()->repaint();
        select.add(elapsedMs(t));
    }
    select.print("select a random cell (handler) and paint");

    Stats typing;
    grid->setCurrentCell(2, entries / 2);
    grid->setFocus();
    QLineEdit* editor = grid->inplaceEditor();
    for (const QChar c : QStringLiteral("привет мир")) {
        t.restart();
        QTest::sendKeyEvent(QTest::Press, editor, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, editor, Qt::Key_unknown, QString(c), Qt::NoModifier);
        grid->viewport()->repaint();
        typing.add(elapsedMs(t));
    }
    typing.print("type a key in place and paint");

    Stats boxTyping;
    form.editor().box(0)->setFocus();
    for (const QChar c : QStringLiteral("abcdefghij")) {
        t.restart();
        QTest::sendKeyEvent(QTest::Press, form.editor().box(0), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, form.editor().box(0), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
        grid->viewport()->repaint();
        boxTyping.add(elapsedMs(t));
    }
    boxTyping.print("type a key in an input box (Edit Words)");

    Stats walking;
    for (int i = 0; i < 50; ++i) {
        t.restart();
        QTest::keyClick(form.editor().box(0), i % 2 ? Qt::Key_Up : Qt::Key_Down);
        grid->viewport()->repaint();
        walking.add(elapsedMs(t));
    }
    walking.print("Up/Down in an input box and paint");

    Stats enter, remove;
    grid->setCurrentCell(1, 2);
    grid->setFocus();
    for (int i = 0; i < 20; ++i) {
        t.restart();
        QTest::keyClick(editor, Qt::Key_Return);
        grid->viewport()->repaint();
        enter.add(elapsedMs(t));
        t.restart();
        QTest::keyClick(editor, Qt::Key_Delete, Qt::ControlModifier);
        grid->viewport()->repaint();
        remove.add(elapsedMs(t));
    }
    enter.print("Enter in the grid at row 2 (insert below)");
    remove.print("Ctrl+Del at row 3");

    Stats add;
    form.editor().addWords();
    for (int i = 0; i < 20; ++i) {
        form.editor().box(0)->setText(QStringLiteral("new%1").arg(i));
        t.restart();
        QTest::keyClick(form.editor().box(0), Qt::Key_Return);
        grid->viewport()->repaint();
        add.add(elapsedMs(t));
    }
    add.print("Add Words: Enter inserts at row 2");

    Stats size;
    for (int v : {14, 10, 20, 10}) {
        t.restart();
        form.document().setFontSize(v);
        grid->viewport()->repaint();
        size.add(elapsedMs(t));
    }
    size.print("font size change (every row's height)");

    t.restart();
    grid->moveEntryColumn(1, 3);
    grid->viewport()->repaint();
    std::printf("%-44s %8.1f ms\n", "drag a column (every row's cells)", elapsedMs(t));
    t.restart();
    grid->moveEntryRow(entries, 1);
    grid->viewport()->repaint();
    std::printf("%-44s %8.1f ms\n", "drag the last row to the top", elapsedMs(t));
    return 0;
}
