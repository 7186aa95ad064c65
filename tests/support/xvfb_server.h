#pragma once

// A private Xvfb server for tests of the XKB keyboard layouts. Include it after the Qt
// headers: X11's macros (Status, Bool, KeyPress, ...) would break them. It runs with -noreset:
// otherwise the server resets when its last client leaves and forgets the layouts that
// setxkbmap gave it.

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
// X11's Button1..5 macros would shadow the window's Button2..4 controls.
#undef Button1
#undef Button2
#undef Button3
#undef Button4
#undef Button5

namespace lexanta::test {

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
    QString start() {
        // -displayfd lets the server pick a free display number and tell us which.
        process_.start(QStandardPaths::findExecutable(QStringLiteral("Xvfb")),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"),
                        QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("1024x768x24"), QStringLiteral("-noreset"),
                        QStringLiteral("-nolisten"), QStringLiteral("tcp")});
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
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }

private:
    QProcess process_;
    QString display_;
    Display* probe_ = nullptr;
};

} // namespace lexanta::test
