#pragma once

// A private Xvfb server for tests of the XKB keyboard layouts. It runs with -noreset:
// otherwise the server resets when its last client leaves and forgets the layouts that
// setxkbmap gave it.

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

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
        return {};
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
};

} // namespace lexanta::test
