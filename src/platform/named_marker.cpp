#include "platform/named_marker.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lexanta {

namespace {

int openMarkerFile(const QString& path, int flags) {
    const QByteArray native = QFile::encodeName(path);
    int fd;
    do
        fd = ::open(native.constData(), flags | O_CLOEXEC, 0644);
    while (fd < 0 && errno == EINTR);
    return fd;
}

int lockFile(int fd, int operation) {
    int result;
    do
        result = ::flock(fd, operation);
    while (result < 0 && errno == EINTR);
    return result;
}

} // namespace

QString NamedMarker::markerPath(const QString& name) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::tempPath();
    QString fileName;
    for (const QChar c : name) {
        const bool plain = (c.unicode() < 128 && c.isLetterOrNumber()) || c == QLatin1Char('.') ||
                           c == QLatin1Char('-') || c == QLatin1Char('_');
        fileName += plain ? c : QLatin1Char('_');
    }
    return QDir(folder).filePath(fileName + QStringLiteral(".marker"));
}

NamedMarker::NamedMarker(const QString& name) : path_(markerPath(name)) {
    // Read-only is enough for flock and works on a file another user created in /tmp.
    fd_ = openMarkerFile(path_, O_RDONLY | O_CREAT);
    if (fd_ < 0)
        return;
    // Only isHeld() takes the exclusive lock, and only for an instant: retry
    // briefly rather than block on it.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (lockFile(fd_, LOCK_SH | LOCK_NB) == 0)
            return;
        if (errno != EWOULDBLOCK)
            break;
        QThread::msleep(10);
    }
    ::close(fd_);
    fd_ = -1;
}

NamedMarker::~NamedMarker() {
    // The file stays: removing it could race with a process about to lock it.
    if (fd_ >= 0)
        ::close(fd_);
}

bool NamedMarker::isHeld(const QString& name) {
    const int fd = openMarkerFile(markerPath(name), O_RDONLY);
    if (fd < 0)
        return false;
    const bool held = lockFile(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

} // namespace lexanta
