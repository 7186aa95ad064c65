// Crash recovery: a real editor under Xvfb, changed from the keyboard and killed with
// SIGKILL, leaves its copy; the next start offers it once; a clean exit leaves nothing.
#include "core/vocab/lut_format.h"
#include "gui/vocab/crash_recovery.h"
#include "support/window_fixture.h"
#include "support/xvfb_server.h"

#include <QDir>
#include <QProcess>
#include <QUndoStack>

#include <cstring>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace lexanta;
using lexanta::test::kAnimals;
using lexanta::test::WindowOptions;
using Fixture = lexanta::test::Window;

namespace {

// The top-level window whose title contains `title`, or 0.
::Window findWindow(Display* display, const char* title) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    ::Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        // Under a window manager the client is a child of its frame.
        ::Window r = 0, p = 0, *inner = nullptr;
        unsigned n = 0;
        std::vector<::Window> candidates{children[i]};
        if (XQueryTree(display, children[i], &r, &p, &inner, &n)) {
            candidates.insert(candidates.end(), inner, inner + n);
            XFree(inner);
        }
        for (::Window w : candidates) {
            char* name = nullptr;
            if (XFetchName(display, w, &name) && name) {
                if (std::strstr(name, title))
                    found = w;
                XFree(name);
            }
        }
    }
    XFree(children);
    return found;
}

void press(Display* display, KeySym key, bool down) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), down, CurrentTime);
    XFlush(display);
}

QStringList copies(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("recovery-*.lut")}, QDir::Files);
}

} // namespace

class TestCrashRecovery : public QObject {
    Q_OBJECT

private slots:
    void killedEditorLeavesItsCopy() {
        lexanta::test::XvfbServer xvfb;
        LEXANTA_START_XVFB(xvfb.start());
        QVERIFY2(xvfb.startWindowManager().isEmpty(), "openbox");
        Display* display = XOpenDisplay(xvfb.display().toLatin1().constData());
        QVERIFY(display);

        QTemporaryDir home;
        const QString vocabulary = home.filePath(QStringLiteral("animals.lut"));
        QVERIFY(QFile::copy(kAnimals, vocabulary));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), xvfb.display());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        QProcess editor;
        editor.setProcessEnvironment(env);
        editor.start(QStringLiteral(LEXANTA_EDITOR), {vocabulary});
        QVERIFY(editor.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(findWindow(display, "Lexanta Editor") != 0, 20000);
        QTest::qWait(500); // the first show restores the settings and loads the file

        // Service > Shuffle entries, from the keyboard: the whole list is rewritten.
        const QString folder = home.filePath(QStringLiteral("data/lexanta-editor"));
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                press(display, XK_Alt_L, true);
                press(display, XK_s, true);
                press(display, XK_s, false);
                press(display, XK_Alt_L, false);
                press(display, XK_h, true);
                press(display, XK_h, false);
                QTest::qWait(300);
                return !copies(folder).isEmpty();
            }(),
            15000);
        editor.kill(); // SIGKILL: nothing is cleaned up
        QVERIFY(editor.waitForFinished());
        XCloseDisplay(display);

        const QStringList left = copies(folder);
        QCOMPARE(left.size(), 1);
        const std::string kept = Fixture::read(QDir(folder).filePath(left.first())).toStdString();
        Vocabulary copy;
        readVocabulary(kept, copy);
        QCOMPARE(copy.header.title, std::string("Animals"));
        QCOMPARE(copy.entries.entryCount(), 2);

        // The next start offers it; Yes opens it unnamed and unsaved.
        WindowOptions options = WindowOptions::shown(false);
        options.dataFolder = folder;
        Fixture w(options);
        w.dialogs.messageAnswers.push_back(MsgResult::Yes);
        w.form->show(); // the offer comes once the window is on the screen
        QTRY_COMPARE(w.dialogs.messages.size(), std::size_t(1));
        QVERIFY(w.dialogs.messages.front().overShownOwner);
        QCOMPARE(w.dialogs.messages.front().caption, QStringLiteral("Recovered vocabulary"));
        QCOMPARE(w.dialogs.messages.front().buttons, MsgButtons::YesNo);
        QCOMPARE(w.doc().bytes(), kept);
        QVERIFY(copies(folder).isEmpty());
        QVERIFY(w.doc().isModified() && !w.doc().hasFile());
    }

    void offeredCopyReopensUnnamed_data() {
        QTest::addColumn<bool>("reopen");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void offeredCopyReopensUnnamed() {
        QFETCH(bool, reopen);
        QTemporaryDir data;
        // What an editor that died left: its copy, and a lock file nobody holds.
        QVERIFY(QFile::copy(kAnimals, data.filePath(QStringLiteral("recovery-999999.lut"))));
        QFile lock(data.filePath(QStringLiteral("recovery-999999.lock")));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.close();
        WindowOptions options = WindowOptions::shown(false);
        options.dataFolder = data.path();
        Fixture w(options);
        w.dialogs.messageAnswers.push_back(reopen ? MsgResult::Yes : MsgResult::No);
        w.form->show(); // the offer comes once the window is on the screen
        QTRY_COMPARE(w.dialogs.messages.size(), std::size_t(1));
        QVERIFY(w.dialogs.messages.front().overShownOwner);
        QCOMPARE(w.rowCount(), reopen ? 3 : 2);
        QCOMPARE(w.form->windowTitleText(), QStringLiteral("Lexanta Editor"));
        QVERIFY(!w.action("N4")->isEnabled()); // Save asks for a name
        QCOMPARE(w.doc().isModified(), reopen);
        QVERIFY(copies(data.path()).isEmpty());
        w.form->hide();
        w.form->show(); // offered once
        QTest::qWait(50);
        QCOMPARE(w.dialogs.messages.size(), std::size_t(1));
    }

    // While changes are unsaved the copy is kept; a save or a clean exit removes it.
    void copyFollowsTheDocument() {
        Fixture w;
        const QString folder = w.form->recovery().folder();
        w.load(kAnimals);
        QVERIFY(copies(folder).isEmpty());
        w.form->lists().sortBy(kQuestion); // a whole-list command writes at once
        QCOMPARE(copies(folder).size(), 1);
        QCOMPARE(Fixture::read(w.form->recovery().copyPath()),
                 QByteArray::fromStdString(w.doc().bytes()));
        w.doc().undoStack()->undo(); // back to what the file holds
        QVERIFY(copies(folder).isEmpty());
        w.form->lists().shuffleAction()->trigger();
        QCOMPARE(copies(folder).size(), 1);
        w.quit();
        QVERIFY(copies(folder).isEmpty());
    }
};

QTEST_MAIN(TestCrashRecovery)
#include "test_crash_recovery.moc"
