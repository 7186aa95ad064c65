#include "gui/app/desktop_identity.h"

#include <QApplication>
#include <QIcon>

namespace lexanta {

void nameDesktopApplication() {
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    // An empty display name keeps window titles free of an appended program name.
    QGuiApplication::setApplicationDisplayName(QStringLiteral(""));
    QIcon bundled;
    for (const int size : {48, 256})
        bundled.addFile(QStringLiteral(":/icons/lexanta-editor-%1.png").arg(size));
    QApplication::setWindowIcon(QIcon::fromTheme(QString::fromLatin1(kApplicationName), bundled));
}

} // namespace lexanta
