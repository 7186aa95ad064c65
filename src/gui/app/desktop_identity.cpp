#include "gui/app/desktop_identity.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace lexanta {

namespace {

void setApplicationIcon() {
    QIcon bundled;
    for (const int size : {48, 256})
        bundled.addFile(QStringLiteral(":/icons/lexanta-editor-%1.png").arg(size));
    QApplication::setWindowIcon(QIcon::fromTheme(QString::fromLatin1(kApplicationName), bundled));
}

// Sets the icon after the window's first expose has been painted, or after the fallback delay.
class IconAfterExpose : public QObject {
public:
    explicit IconAfterExpose(QWindow* window) : QObject(window) {
        window->installEventFilter(this);
        QTimer::singleShot(kFallbackMs, this, &IconAfterExpose::setIcon);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The expose is painted while it is handled; the icon follows once that is done.
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
            QTimer::singleShot(0, this, &IconAfterExpose::setIcon);
        return false;
    }

private:
    static constexpr int kFallbackMs = 1000;

    void setIcon() {
        if (done_)
            return;
        done_ = true;
        setApplicationIcon();
        deleteLater();
    }

    bool done_ = false;
};

} // namespace

void nameDesktopApplicationWithoutIcon() {
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    // An empty display name keeps window titles free of an appended program name.
    QGuiApplication::setApplicationDisplayName(QStringLiteral(""));
}

void nameDesktopApplication() {
    nameDesktopApplicationWithoutIcon();
    setApplicationIcon();
}

void setApplicationIconAfterFirstPaint(QWidget* window) {
    if (QWindow* handle = window->windowHandle())
        new IconAfterExpose(handle);
    else
        setApplicationIcon();
}

} // namespace lexanta
