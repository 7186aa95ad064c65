#pragma once

// A private Xvfb server for tests of the XKB keyboard layouts, and of the window under a
// window manager. Include it after the Qt
// headers: X11's macros (Status, Bool, KeyPress, ...) would break them. It runs with -noreset:
// otherwise the server resets when its last client leaves and forgets the layouts that
// setxkbmap gave it.

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTest>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
// X11's Button1..5 macros would shadow the window's Button2..4 controls.
#undef Button1
#undef Button2
#undef Button3
#undef Button4
#undef Button5

namespace lexanta::test {

// In a test function: skips the test when Xvfb or setxkbmap is missing, and fails it when
// `start` (a call of the server that gives an error text, empty on success) fails.
#define LEXANTA_START_XVFB(start)                                                                  \
    do {                                                                                           \
        if (const QString missing = lexanta::test::XvfbServer::missingTools(); !missing.isEmpty()) \
            QSKIP(qPrintable(missing));                                                            \
        const QString startError = (start);                                                        \
        QVERIFY2(startError.isEmpty(), qPrintable(startError));                                    \
    } while (false)

class XvfbServer {
public:
    ~XvfbServer() { stop(); }

    // Empty when the tools are there; otherwise why the test cannot run.
    static QString missingTools() {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            return QStringLiteral(
                "Xvfb is not installed (package xvfb); scripts/setup installs it");
        if (QStandardPaths::findExecutable(QStringLiteral("setxkbmap")).isEmpty())
            return QStringLiteral("setxkbmap is not installed (package x11-xkb-utils)");
        return {};
    }

    // Starts the server on a free display; the error text is empty on success.
    QString start(const QString& screen = QStringLiteral("1024x768x24")) {
        // -displayfd lets the server pick a free display number and tell us which.
        process_.start(QStandardPaths::findExecutable(QStringLiteral("Xvfb")),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"),
                        QStringLiteral("-screen"), QStringLiteral("0"), screen,
                        QStringLiteral("-noreset"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp")});
        if (!process_.waitForStarted(10000))
            return process_.errorString();
        QByteArray number;
        while (!number.contains('\n') && process_.waitForReadyRead(20000))
            number += process_.readAllStandardOutput();
        if (number.trimmed().isEmpty())
            return QString::fromLocal8Bit(process_.readAllStandardError());
        display_ = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
        probe_ = XOpenDisplay(display_.toLatin1().constData());
        return probe_ ? QString() : QStringLiteral("cannot open %1").arg(display_);
    }

    // Starts openbox on the server and waits until it manages the screen (a window manager
    // that follows the desktop conventions names itself on the root window).
    QString startWindowManager() {
        if (QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
            return QStringLiteral("openbox is not installed (package openbox)");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display_);
        wm_.setProcessEnvironment(env);
        wm_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        wm_.start(QStandardPaths::findExecutable(QStringLiteral("openbox")),
                  {QStringLiteral("--sm-disable")});
        const Atom check = XInternAtom(probe_, "_NET_SUPPORTING_WM_CHECK", False);
        QElapsedTimer clock;
        clock.start();
        while (wm_.waitForStarted(10000) && clock.elapsed() < 60000) { // slow on a busy machine
            Atom type = None;
            int format = 0;
            unsigned long items = 0, rest = 0;
            unsigned char* data = nullptr;
            XGetWindowProperty(probe_, DefaultRootWindow(probe_), check, 0, 1, False, XA_WINDOW,
                               &type, &format, &items, &rest, &data);
            if (data)
                XFree(data);
            if (items == 1)
                return {};
            wm_.waitForFinished(50);
        }
        return QStringLiteral("openbox did not take the screen: ") + wm_.errorString();
    }

    // XKB's own view of the active group, through a connection of the test's own.
    int group() const {
        XkbStateRec state{};
        return probe_ && XkbGetState(probe_, XkbUseCoreKbd, &state) == Success ? state.group : -1;
    }
    // Locks a group, as the user's language switcher would.
    void lockGroup(int group) const {
        XkbLockGroup(probe_, XkbUseCoreKbd, static_cast<unsigned int>(group));
        XSync(probe_, False);
    }

    QString display() const { return display_; }

    // The three groups the layout tests switch between: United States, Russian, German.
    bool setTestGroups() const {
        return setxkbmap({QStringLiteral("-layout"), QStringLiteral("us,ru,de")});
    }
    // Starts the server (as start()) with the test groups.
    QString startWithTestGroups() {
        const QString error = start();
        if (!error.isEmpty())
            return error;
        return setTestGroups() ? QString() : QStringLiteral("setxkbmap failed on %1").arg(display_);
    }

    // setxkbmap -display <ours> <arguments>
    bool setxkbmap(const QStringList& arguments) const {
        QProcess p;
        p.start(QStringLiteral("setxkbmap"),
                QStringList{QStringLiteral("-display"), display_} + arguments);
        return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit &&
               p.exitCode() == 0;
    }

    void stop() {
        if (probe_)
            XCloseDisplay(probe_);
        probe_ = nullptr;
        for (QProcess* p : {&wm_, &process_})
            end(*p);
    }

private:
    static void end(QProcess& p) {
        if (p.state() == QProcess::NotRunning)
            return;
        p.terminate();
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished();
        }
    }

    QProcess process_, wm_;
    QString display_;
    Display* probe_ = nullptr;
};

// The main of a window test under openbox: Qt on a private Xvfb screen of `screen` (as
// "1024x768x24") with the window manager, or offscreen when either cannot start. `Test` is made
// from the missing tool and the start's error, which it skips or fails on itself.
template <typename Test> int execUnderWindowManager(int argc, char** argv, const QString& screen) {
    XvfbServer x;
    const QString missing = XvfbServer::missingTools();
    QString startError;
    if (missing.isEmpty() && (startError = x.start(screen)).isEmpty())
        startError = x.startWindowManager();
    const bool running = missing.isEmpty() && startError.isEmpty();
    qputenv("QT_QPA_PLATFORM", running ? "xcb" : "offscreen");
    if (running)
        qputenv("DISPLAY", x.display().toLatin1());
    QApplication app(argc, argv);
    Test test(missing, startError);
    return QTest::qExec(&test, argc, argv);
}

} // namespace lexanta::test
