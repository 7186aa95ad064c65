// Crash recovery: real editors under Xvfb and openbox, changed from the keyboard and killed
// with SIGKILL, leave copies that every later start offers until the work is saved or
// discarded; in the window, the copy follows the document and a damaged one is kept aside.
#include "core/vocab/lut_format.h"
#include "document/recovery_copy.h"
#include "gui/vocab/crash_recovery.h"
#include "support/window_fixture.h"
#include "support/xvfb_server.h"

#include <QDir>
#include <QProcess>

#include <sys/stat.h>

#include <cstring>
#include <memory>
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

// A window may go between listing it and asking for its name: that is no reason to stop.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

// Whether a top-level window (or a client in its frame) has a title containing `title`.
bool hasWindow(Display* display, const char* title) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    bool found = false;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return false;
    for (unsigned i = 0; i < count && !found; ++i) {
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
                found = found || std::strstr(name, title);
                XFree(name);
            }
        }
    }
    XFree(children);
    return found;
}

void tap(Display* display, KeySym key, KeySym modifier = NoSymbol) {
    if (modifier != NoSymbol)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, modifier), True, CurrentTime);
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), True, CurrentTime);
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), False, CurrentTime);
    if (modifier != NoSymbol)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, modifier), False, CurrentTime);
    XFlush(display);
}

QStringList copies(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.lexanta-recovery")}, QDir::Files);
}

// The document a copy holds, as a save would write it.
std::string heldBy(const QString& copy) {
    std::optional<DocumentSnapshot> held = readRecoveryCopy(Fixture::read(copy).toStdString());
    return held ? serializeVocabulary(held->vocabulary, held->vocabulary.currentFormat)
                : std::string();
}

// Editors as separate processes on one display, sharing one home.
class Editors {
public:
    Editors(lexanta::test::XvfbServer& xvfb, const QString& home) : home_(home) {
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("DISPLAY"), xvfb.display());
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env_.insert(QStringLiteral("HOME"), home);
        env_.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        env_.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        display_ = XOpenDisplay(xvfb.display().toLatin1().constData());
        XSetErrorHandler(ignoreXError);
    }
    ~Editors() {
        for (auto& p : running_)
            p->kill();
        for (auto& p : running_)
            p->waitForFinished();
        if (display_)
            XCloseDisplay(display_);
    }
    Display* display() const { return display_; }
    QString folder() const { return home_ + QStringLiteral("/data/lexanta-editor/recovery"); }

    // Starts an editor; in a pid namespace of its own it is process 1, as every such editor.
    QProcess& start(const QStringList& arguments, bool ownPidSpace = false) {
        auto& p = *running_.emplace_back(std::make_unique<QProcess>());
        p.setProcessEnvironment(env_);
        if (ownPidSpace)
            p.start(QStringLiteral("unshare"),
                    QStringList{QStringLiteral("--user"), QStringLiteral("--map-root-user"),
                                QStringLiteral("--pid"), QStringLiteral("--fork"),
                                QStringLiteral("--kill-child"), QStringLiteral(LEXANTA_EDITOR)} +
                        arguments);
        else
            p.start(QStringLiteral(LEXANTA_EDITOR), arguments);
        return p;
    }
    // Service > Shuffle entries from the keyboard, until a copy more than `before` is there.
    bool shuffleUntilCopied(int before) {
        for (int tries = 0; tries < 50; ++tries) {
            tap(display_, XK_s, XK_Alt_L);
            tap(display_, XK_h);
            QTest::qWait(300);
            if (copies(folder()).size() > before)
                return true;
        }
        return false;
    }
    bool waitFor(const char* title) {
        for (int waited = 0; waited < 40000; waited += 100) {
            if (hasWindow(display_, title))
                return true;
            QTest::qWait(100);
        }
        return false;
    }
    // SIGKILL to all at once; under unshare its child gets SIGKILL too (--kill-child).
    void killAll() {
        for (auto& p : running_)
            p->kill();
        for (auto& p : running_)
            p->waitForFinished();
        running_.clear();
        QTest::qWait(300);
    }

private:
    QString home_;
    QProcessEnvironment env_;
    Display* display_ = nullptr;
    std::vector<std::unique_ptr<QProcess>> running_;
};

} // namespace

class TestCrashRecovery : public QObject {
    Q_OBJECT

private slots:
    // Killed, restarted, recovered, killed again within seconds: offered again and whole.
    // Each editor runs as process 1 of a pid namespace of its own, so all have the same pid.
    void survivesRepeatedCrashes() {
        lexanta::test::XvfbServer xvfb;
        LEXANTA_START_XVFB(xvfb.start());
        QVERIFY2(xvfb.startWindowManager().isEmpty(), "openbox");
        QTemporaryDir home;
        const QString vocabulary = home.filePath(QStringLiteral("animals.lut"));
        QVERIFY(QFile::copy(kAnimals, vocabulary));
        Editors editors(xvfb, home.path());
        QVERIFY(editors.display());

        editors.start({vocabulary}, true);
        QVERIFY(editors.waitFor("animals.lut"));
        QVERIFY(editors.shuffleUntilCopied(0));
        editors.killAll();
        QCOMPARE(copies(editors.folder()).size(), 1);
        const QString first = copies(editors.folder()).front();
        const std::string kept = heldBy(QDir(editors.folder()).filePath(first));
        QVERIFY(!kept.empty());
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(editors.folder()).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 0777, 0700u);

        // The same pid again: the copy is offered, recovered with the default button, and taken
        // over by the new editor, which is killed at once.
        editors.start({}, true);
        QVERIFY(editors.waitFor("Recover unsaved work"));
        // The box may be mapped before it has the focus: Return again while it is there.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                if (hasWindow(editors.display(), "Recover unsaved work"))
                    tap(editors.display(), XK_Return);
                return copies(editors.folder()) != QStringList{first};
            }(),
            15000);
        editors.killAll();

        WindowOptions options = WindowOptions::shown(false);
        options.dataFolder = editors.folder();
        Fixture w(options);
        w.dialogs.choiceAnswers.push_back(0); // Recover
        w.form->show();                       // the offer comes once the window is on the screen
        QTRY_COMPARE(w.dialogs.choices.size(), std::size_t(1));
        QVERIFY(w.dialogs.choices.front().overShownOwner);
        QCOMPARE(w.dialogs.choices.front().rows.size(), 1);
        QVERIFY(w.dialogs.choices.front().rows.front().contains(QStringLiteral("animals.lut")));
        QCOMPARE(w.doc().bytes(), kept);
        // Save writes it where it came from.
        QVERIFY(w.doc().isModified());
        QCOMPARE(w.doc().fileName(), vocabulary);
        QVERIFY(w.form->files().save());
        QCOMPARE(Fixture::read(vocabulary).toStdString(), kept);
        QTRY_VERIFY(copies(editors.folder()).isEmpty());
    }

    // Two editors killed together: both copies are offered, each recoverable on its own.
    void twoEditorsKilledTogether() {
        lexanta::test::XvfbServer xvfb;
        LEXANTA_START_XVFB(xvfb.start());
        QVERIFY2(xvfb.startWindowManager().isEmpty(), "openbox");
        QTemporaryDir home;
        Editors editors(xvfb, home.path());
        QStringList files;
        for (const char* name : {"one.lut", "two.lut"}) {
            files << home.filePath(QLatin1String(name));
            QVERIFY(QFile::copy(kAnimals, files.back()));
            editors.start({files.back()});
            QVERIFY(editors.waitFor(name));
            QVERIFY(editors.shuffleUntilCopied(files.size() - 1));
        }
        editors.killAll();

        for (const QString& file : files) {
            WindowOptions options = WindowOptions::shown(false);
            options.dataFolder = editors.folder();
            Fixture w(options);
            w.dialogs.choiceAnswers.push_back(0);
            w.dialogs.rowAnswers.push_back(0);
            w.form->show();
            QTRY_COMPARE(w.dialogs.choices.size(), std::size_t(1));
            // The copy recovered before belongs to the closed window: it is gone.
            QCOMPARE(w.dialogs.choices.front().rows.size(), file == files.front() ? 2 : 1);
            QVERIFY(w.doc().isModified());
            QVERIFY(files.contains(w.doc().fileName()));
            QVERIFY(w.form->files().save());
            w.quit();
        }
        QVERIFY(copies(editors.folder()).isEmpty());
    }

    // In the window: the copy exists while changes are unsaved, holds the whole document in
    // the current format whatever the document's own, is private, outlives New while the
    // replaced work is in the undo stack, and goes with a save or a clean exit.
    void copyFollowsTheDocument() {
        Fixture w;
        CrashRecovery& recovery = w.form->recovery();
        const QString folder = recovery.folder();
        const QString old =
            w.copy(QStringLiteral(LEXANTA_TEST_DATA "/old_format.lut"), QStringLiteral("old.lut"));
        w.load(old);
        recovery.flush();
        QVERIFY(copies(folder).isEmpty());
        QVERIFY(w.doc().setDescription(DescriptionField::Title, "Typed"));
        recovery.flush();
        const QString copy = recovery.copyPath();
        const auto held = readRecoveryCopy(Fixture::read(copy).toStdString());
        QVERIFY(held);
        QCOMPARE(held->vocabulary.header.title, std::string("Typed"));
        QVERIFY(!held->vocabulary.currentFormat);
        QCOMPARE(held->file.fileName, old);
        QCOMPARE(QFile::permissions(copy) &
                     ~(QFile::ReadUser | QFile::WriteUser | QFile::ReadOwner | QFile::WriteOwner),
                 QFileDevice::Permissions());

        w.doc().undo();
        recovery.flush();
        QVERIFY(copies(folder).isEmpty());
        w.doc().redo();
        recovery.flush();
        QCOMPARE(copies(folder).size(), 1);
        w.form->files().newVocabulary();
        recovery.flush();
        QCOMPARE(copies(folder).size(), 1); // the replaced work is still unsaved
        w.quit();
        QVERIFY(copies(folder).isEmpty());
    }

    // A copy that does not read as one is never opened: it is named and moved aside.
    void damagedCopyIsKeptAside_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("a vocabulary") << Fixture::read(kAnimals);
        QTest::newRow("garbage") << QByteArray("\x7f"
                                               "ELF\x02\x01",
                                               6);
        QByteArray whole = QByteArray::fromStdString(
            recoveryCopyBytes(DocumentSnapshot{}, QDateTime::fromSecsSinceEpoch(0, Qt::UTC)));
        QTest::newRow("cut short") << whole.chopped(3);
    }
    void damagedCopyIsKeptAside() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir data;
        const QString name = QStringLiteral("0b1c-1.lexanta-recovery");
        QFile copy(data.filePath(name));
        QVERIFY(copy.open(QIODevice::WriteOnly) && copy.write(bytes) == bytes.size());
        copy.close();
        // The lock of an editor that died with nothing unsaved goes too.
        QFile stale(data.filePath(QStringLiteral("dead.lock")));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        WindowOptions options = WindowOptions::shown(false);
        options.dataFolder = data.path();
        Fixture w(options);
        w.dialogs.choiceAnswers.push_back(0);
        w.form->show();
        const QString aside = data.filePath(QStringLiteral("damaged/") + name);
        QTRY_VERIFY(QFile::exists(aside));
        QVERIFY(!stale.exists());
        QCOMPARE(Fixture::read(aside), bytes);
        QVERIFY(!w.doc().isModified());
        QCOMPARE(w.dialogs.messages.size(), std::size_t(1));
        QVERIFY(w.dialogs.messages.front().text.contains(aside));
    }
};

QTEST_MAIN(TestCrashRecovery)
#include "test_crash_recovery.moc"
