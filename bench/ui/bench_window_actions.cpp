// Times every action of the main window over a vocabulary, as a user drives it: the whole-list
// commands (sort, shuffle, swap, frequency analysis, find next to the end), the font size, row
// and column drags, typing, moving, Enter and Ctrl+Del, each with its undo and redo. Each
// figure runs from the action to the end of the repaint it causes.
//
//   bench_window_actions FILE.lut [--repeat N] [--recovery] [--edits]
//
// Printed per action: the median CPU milliseconds of the process (all threads), of the
// window's thread, and wall milliseconds, against the action's limit: one frame (16.7 ms) for
// typing-like actions, 100 ms for the rest. CPU time is the steady figure on a shared
// machine; the verdict uses it. For the whole-list commands the same command on a document
// without a window is timed too, and the ratio printed.
//
// The recovery copy of unsaved changes is kept off (its writing is not what is measured
// here); --recovery leaves it on, to see its share.
#include "core/listops/search.h"
#include "document/document.h"
#include "gui/app/main_window.h"
#include "gui/editing/combo_edit.h"
#include "gui/editing/entry_editor.h"
#include "gui/editing/entry_grid.h"
#include "gui/listops/list_commands.h"
#include "gui/vocab/crash_recovery.h"
#include "gui/vocab/file_commands.h"
#include "platform/collation.h"
#include "platform/keyboard_layouts.h"

#include "quiet_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace lexanta;

namespace {

constexpr double kFrameMs = 16.7;
constexpr double kInstantMs = 100;

double clockMs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Sample {
    double cpu, thread, wall;
};

// Runs `work` and measures it; the caller's settle() makes it include the repaint.
Sample measure(const std::function<void()>& work) {
    QElapsedTimer wall;
    const double cpu = clockMs(CLOCK_PROCESS_CPUTIME_ID);
    const double thread = clockMs(CLOCK_THREAD_CPUTIME_ID);
    wall.start();
    work();
    return {clockMs(CLOCK_PROCESS_CPUTIME_ID) - cpu, clockMs(CLOCK_THREAD_CPUTIME_ID) - thread,
            static_cast<double>(wall.nsecsElapsed()) / 1e6};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Row {
    std::string key;   // the action, and for an undo or redo which one
    std::string label; // as printed
    double limit;
    std::vector<Sample> samples;
};

class Report {
public:
    // "ACTION" or "ACTION|undo": an undo row prints as "  its undo" below its action.
    void add(const std::string& key, double limit, Sample s) {
        for (Row& r : rows_)
            if (r.key == key) {
                r.samples.push_back(s);
                return;
            }
        const std::size_t bar = key.find('|');
        const std::string label = bar == std::string::npos ? key : "  its " + key.substr(bar + 1);
        rows_.push_back({key, label, limit, {s}});
    }
    double cpuOf(const std::string& key) const {
        for (const Row& r : rows_)
            if (r.key == key)
                return median(column(r, &Sample::cpu));
        return 0;
    }
    void print() const {
        std::printf("%-46s %7s %9s %9s %9s  %s\n", "action", "limit", "cpu ms", "thread ms",
                    "wall ms", "verdict");
        for (const Row& r : rows_) {
            const double cpu = median(column(r, &Sample::cpu));
            std::printf("%-46s %7.1f %9.1f %9.1f %9.1f  %s\n", r.label.c_str(), r.limit, cpu,
                        median(column(r, &Sample::thread)), median(column(r, &Sample::wall)),
                        cpu <= r.limit ? "ok" : "OVER");
        }
    }

private:
    static std::vector<double> column(const Row& r, double Sample::*field) {
        std::vector<double> v;
        for (const Sample& s : r.samples)
            v.push_back(s.*field);
        return v;
    }
    std::vector<Row> rows_;
};

QAction* actionNamed(QObject* root, const char* name) {
    auto* action = root->findChild<QAction*>(QString::fromLatin1(name));
    if (!action) {
        std::fprintf(stderr, "no action %s\n", name);
        std::exit(1);
    }
    return action;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: bench_window_actions FILE.lut [--repeat N] [--recovery] [--edits]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    int repeat = 3;
    bool recovery = false;
    bool editsOnly = false; // up to the column drag: no font size, row drag or whole-list command
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--repeat" && i + 1 < argc)
            repeat = std::max(1, std::atoi(argv[++i]));
        else if (a == "--recovery")
            recovery = true;
        else if (a == "--edits")
            editsOnly = true;
    }

    QTemporaryDir dir;
    bench::QuietDialogs dialogs;
    dialogs.answer = MsgResult::Ok;
    MemoryKeyboardLayouts layouts;
    WindowServices s;
    s.dialogs = &dialogs;
    s.keyboardLayouts = &layouts;
    s.restoreSettings = false;
    s.programFolder = s.configFolder = s.dataFolder = dir.path();
    MainWindow form(s);
    form.resize(1000, 760);
    form.show();
    form.activateWindow();
    (void)QTest::qWaitForWindowActive(&form);
    if (!recovery)
        form.recovery().finish();
    EntryGrid* grid = form.grid();
    Document& doc = form.document();
    const auto settle = [&] {
        QCoreApplication::processEvents();
        grid->viewport()->repaint();
        grid->verticalHeader()->viewport()->repaint();
    };
    Report report;
    const auto timed = [&](const std::string& label, double limit, const std::function<void()>& f) {
        report.add(label, limit, measure([&] {
                       f();
                       settle();
                   }));
    };
    QAction* undo = actionNamed(&form, "Undo1");
    QAction* redo = actionNamed(&form, "Redo1");
    // An action, its undo and its redo, then undone again untimed: the list is as before.
    const auto withUndo = [&](const std::string& label, double limit,
                              const std::function<void()>& f) {
        for (int i = 0; i < repeat; ++i) {
            timed(label, limit, f);
            timed(label + "|undo", limit, [&] { undo->trigger(); });
            timed(label + "|redo", limit, [&] { redo->trigger(); });
            undo->trigger();
            settle();
        }
    };

    const Sample load = measure([&] {
        form.files().loadFile(path);
        settle();
    });
    const int entries = doc.entries().entryCount();
    std::printf("%s: %d entries, loaded in %.0f ms CPU (%.0f ms wall)\n", argv[1], entries,
                load.cpu, load.wall);

    // The first Enter after loading: the first insert in the middle of the list.
    grid->setCurrentCell(1, 2);
    grid->setFocus();
    QLineEdit* editor = grid->inplaceEditor();
    timed("first Enter after loading (row 2)", kFrameMs,
          [&] { QTest::keyClick(editor, Qt::Key_Return); });
    timed("first Enter after loading (row 2)|undo", kFrameMs, [&] { undo->trigger(); });

    // Typing-like actions: one frame each.
    for (int i = 0; i < repeat * 3; ++i) {
        grid->setCurrentCell(2, entries / 2);
        grid->setFocus();
        timed("type a key in place", kFrameMs, [&] {
            QTest::sendKeyEvent(QTest::Press, editor, Qt::Key_unknown, QStringLiteral("x"),
                                Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, editor, Qt::Key_unknown, QStringLiteral("x"),
                                Qt::NoModifier);
        });
        timed("type a key in place|undo", kFrameMs, [&] { undo->trigger(); });
    }
    form.editor().box(0)->setFocus();
    for (int i = 0; i < repeat * 3; ++i) {
        timed("type a key in an input box (Edit Words)", kFrameMs, [&] {
            QTest::sendKeyEvent(QTest::Press, form.editor().box(0), Qt::Key_unknown,
                                QStringLiteral("y"), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, form.editor().box(0), Qt::Key_unknown,
                                QStringLiteral("y"), Qt::NoModifier);
        });
        timed("move with Up/Down in an input box", kFrameMs,
              [&] { QTest::keyClick(form.editor().box(0), i % 2 ? Qt::Key_Up : Qt::Key_Down); });
    }
    grid->setCurrentCell(1, 2);
    grid->setFocus();
    for (int i = 0; i < repeat * 3; ++i) {
        timed("Enter in the grid at row 2", kFrameMs,
              [&] { QTest::keyClick(editor, Qt::Key_Return); });
        timed("Enter in the grid at row 2|undo", kFrameMs, [&] { undo->trigger(); });
        timed("Enter in the grid at row 2|redo", kFrameMs, [&] { redo->trigger(); });
        timed("Ctrl+Del at row 3", kFrameMs,
              [&] { QTest::keyClick(editor, Qt::Key_Delete, Qt::ControlModifier); });
        timed("Ctrl+Del at row 3|undo", kFrameMs, [&] { undo->trigger(); });
        undo->trigger(); // the inserted row goes again
        settle();
        grid->setCurrentCell(1, 2);
    }
    form.editor().addWords();
    for (int i = 0; i < repeat * 3; ++i) {
        form.editor().box(0)->setText(QStringLiteral("new"));
        timed("Add Words: Enter inserts at row 2", kFrameMs,
              [&] { QTest::keyClick(form.editor().box(0), Qt::Key_Return); });
        timed("Add Words: Enter inserts at row 2|undo", kFrameMs, [&] { undo->trigger(); });
    }
    form.editor().editWords();
    for (int i = 0; i < repeat; ++i) {
        timed("drag a column (answers to comments)", kFrameMs,
              [&] { grid->moveEntryColumn(2, 3); });
        timed("drag a column (answers to comments)|undo", kFrameMs, [&] { undo->trigger(); });
    }

    if (editsOnly) {
        report.print();
        return 0;
    }

    // Whole-list commands and the rest: 100 ms each at a million entries.
    auto* size = form.findChild<QSpinBox*>(QStringLiteral("RxSpinEdit1"));
    withUndo("font size 10 -> 14", kInstantMs, [&] { size->setValue(size->value() + 4); });
    withUndo("drag the last row to the top", kInstantMs, [&] { grid->moveEntryRow(entries, 1); });
    ListCommands& lists = form.lists();
    withUndo("sort by questions", kInstantMs, [&] { lists.sortMenuAction(1)->trigger(); });
    withUndo("sort by answers", kInstantMs, [&] { lists.sortMenuAction(2)->trigger(); });
    withUndo("shuffle", kInstantMs, [&] { lists.shuffleAction()->trigger(); });
    withUndo("swap questions and answers", kInstantMs, [&] { lists.swapAction()->trigger(); });
    lists.sortMenuAction(1)->trigger();
    settle();
    withUndo("frequency analysis (sorted list)", kInstantMs,
             [&] { lists.frequencyAction()->trigger(); });
    undo->trigger();
    settle();

    // Find next over the whole list: a text no answer holds, from the first row. Find next is
    // enabled by the first Find; each search must end with the end-of-list message, else it
    // did not scan the list and its time means nothing.
    const QString nowhere = QStringLiteral("несуществующее");
    lists.findDialog().findText = nowhere;
    lists.findNextAction()->setEnabled(true);
    const char* findLabels[] = {"find next to the end", "find next to the end (whole word)"};
    for (int i = 0; i < repeat; ++i) {
        for (const bool wholeWord : {true, false}) {
            lists.findDialog().wholeWord = wholeWord;
            grid->setCurrentCell(2, 1);
            const qsizetype said = dialogs.messages.size();
            timed(findLabels[wholeWord], kInstantMs, [&] { lists.findNextAction()->trigger(); });
            if (dialogs.messages.size() != said + 1 ||
                !dialogs.messages.back().startsWith(QStringLiteral("End of vocabulary"))) {
                std::fprintf(stderr, "find next did not reach the end of the list\n");
                return 1;
            }
        }
    }

    // The same whole-list commands on a document without a window.
    Document alone;
    (void)alone.load(path);
    const KeyCollator collator;
    std::vector<std::pair<std::string, std::function<void()>>> bare = {
        {"sort by questions", [&] { alone.sortBy(kQuestion, collator); }},
        {"sort by answers", [&] { alone.sortBy(kAnswer, collator); }},
        {"shuffle", [&] { alone.shuffle(12345); }},
        {"swap questions and answers", [&] { alone.swapQuestionAnswer(); }},
    };
    std::vector<std::pair<std::string, double>> ratios;
    for (auto& [label, work] : bare) {
        std::vector<double> cpu;
        for (int i = 0; i < repeat; ++i) {
            cpu.push_back(measure(work).cpu);
            alone.undoStack()->undo();
        }
        ratios.emplace_back(label, median(cpu));
    }
    alone.sortBy(kQuestion, collator);
    {
        std::vector<double> cpu;
        for (int i = 0; i < repeat; ++i) {
            cpu.push_back(measure([&] { alone.frequencyAnalysis(collator); }).cpu);
            alone.undoStack()->undo();
        }
        ratios.emplace_back("frequency analysis (sorted list)", median(cpu));
    }

    for (const bool wholeWord : {true, false}) {
        FindOptions options;
        options.wholeWord = wholeWord;
        std::vector<double> cpu;
        for (int i = 0; i < repeat; ++i)
            cpu.push_back(measure([&] {
                              (void)findEntry(alone.entries(), kAnswer, 0, nowhere, options,
                                              alone.codePageOf(kAnswer));
                          }).cpu);
        ratios.emplace_back(findLabels[wholeWord], median(cpu));
    }

    report.print();
    std::printf("\nwhole-list commands, window against a document alone (CPU ms, limit 1.5x,"
                " or a frame where the command alone takes next to nothing):\n");
    for (const auto& [label, cpu] : ratios) {
        const double window = report.cpuOf(label);
        std::printf("%-46s %9.1f %9.1f  %5.2fx  %s\n", label.c_str(), window, cpu,
                    cpu > 0 ? window / cpu : 0,
                    window <= 1.5 * cpu || window <= kFrameMs ? "ok" : "OVER");
    }
    return 0;
}
