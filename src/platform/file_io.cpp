#include "platform/file_io.h"

#include "platform/file_names.h"

#include <QFile>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace lexanta {

QString IoResult::message(const QString& verb) const {
    return QStringLiteral("%1 %2: %3").arg(verb, path, reason);
}

namespace {

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Qt's file classes spell a name in UTF-8; a name with other bytes is opened by its bytes.
bool openRawName(QFile& file, const QString& path, QString& reason) {
    const int fd = ::open(fileNameToBytes(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = systemError(errno);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        reason = file.errorString();
        return false;
    }
    return true;
}

// QSaveFile's steps for a name that Qt cannot spell: a temp file beside the target, flushed
// to disk, then renamed over it; the mode of a replaced file is kept.
IoResult writeRawName(const QString& path, const std::string& bytes) {
    const QByteArray target = fileNameToBytes(path);
    QByteArray temp = target + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return IoResult::failure(path, systemError(errno));
    struct stat old;
    mode_t mode;
    if (::stat(target.constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    int error = ::fchmod(fd, mode) == 0 ? 0 : errno;
    for (std::size_t done = 0; error == 0 && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR)
            error = errno;
        else if (n > 0)
            done += static_cast<std::size_t>(n);
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temp.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.constData());
        return IoResult::failure(path, systemError(error));
    }
    return IoResult::success(path);
}

} // namespace

IoResult readWholeFile(const QString& path, std::string& bytes) {
    QFile file;
    const bool isStdin = path == QLatin1String("-");
    QString reason;
    if (isStdin || !hasRawBytes(path)) {
        const bool opened = isStdin ? file.open(stdin, QIODevice::ReadOnly)
                                    : (file.setFileName(path), file.open(QIODevice::ReadOnly));
        if (!opened)
            return IoResult::failure(path, file.errorString());
    } else if (!openRawName(file, path, reason)) {
        return IoResult::failure(path, reason);
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return IoResult::failure(path, file.errorString());
    bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
    return IoResult::success(path);
}

IoResult writeWholeFile(const QString& path, const std::string& bytes) {
    if (path == QLatin1String("-")) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) ||
            out.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size()) ||
            !out.flush())
            return IoResult::failure(path, out.errorString());
        return IoResult::success(path);
    }
    if (hasRawBytes(path))
        return writeRawName(path, bytes);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return IoResult::failure(path, file.errorString());
    // QSaveFile::commit() ignores a failed flush of its buffer (a full disk, the
    // file size limit) and would rename a cut-off file into place: flush first.
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return IoResult::failure(path, reason);
    }
    if (!file.commit())
        return IoResult::failure(path, file.errorString());
    return IoResult::success(path);
}

} // namespace lexanta
