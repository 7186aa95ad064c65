#pragma once

// openbox on a private Xvfb server, for tests of the window as a window manager frames it.
// Include it after the Qt headers (see xvfb_server.h).

#include "support/xvfb_server.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QThread>

#include <X11/Xatom.h>

namespace lexanta::test {

class WindowManager {
public:
    ~WindowManager() { stop(); }

    static QString missingTools() {
        if (const QString missing = XvfbServer::missingTools(); !missing.isEmpty())
            return missing;
        if (QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
            return QStringLiteral(
                "openbox is not installed (package openbox); scripts/setup installs it");
        return {};
    }

    // Starts Xvfb and openbox on it, and waits until openbox manages the screen.
    QString start() {
        if (const QString error = xvfb_.start(); !error.isEmpty())
            return error;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), xvfb_.display());
        wm_.setProcessEnvironment(env);
        wm_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        wm_.start(QStandardPaths::findExecutable(QStringLiteral("openbox")),
                  {QStringLiteral("--sm-disable")});
        if (!wm_.waitForStarted(10000))
            return wm_.errorString();
        Display* probe = XOpenDisplay(xvfb_.display().toLatin1().constData());
        if (!probe)
            return QStringLiteral("cannot open %1").arg(xvfb_.display());
        QElapsedTimer clock;
        clock.start();
        bool managed = false;
        while (!(managed = isManaged(probe)) && clock.elapsed() < 20000 &&
               wm_.state() == QProcess::Running)
            QThread::msleep(50);
        XCloseDisplay(probe);
        return managed ? QString() : QStringLiteral("openbox did not take the screen");
    }

    QString display() const { return xvfb_.display(); }

    void stop() {
        if (wm_.state() != QProcess::NotRunning) {
            wm_.terminate();
            if (!wm_.waitForFinished(10000)) {
                wm_.kill();
                wm_.waitForFinished();
            }
        }
        xvfb_.stop();
    }

private:
    // A window manager that follows the desktop conventions names itself on the root window.
    static bool isManaged(Display* display) {
        const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
        Atom type = None;
        int format = 0;
        unsigned long items = 0, rest = 0;
        unsigned char* data = nullptr;
        const bool found =
            XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                               &type, &format, &items, &rest, &data) == Success &&
            items == 1;
        if (data)
            XFree(data);
        return found;
    }

    XvfbServer xvfb_;
    QProcess wm_;
};

} // namespace lexanta::test
