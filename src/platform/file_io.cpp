#include "platform/file_io.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace lexanta {

QString IoResult::message(const QString& verb) const {
    return QStringLiteral("%1 %2: %3").arg(verb, path, reason);
}

IoResult readWholeFile(const QString& path, std::string& bytes) {
    QFile file;
    const bool isStdin = path == QLatin1String("-");
    const bool opened = isStdin ? file.open(stdin, QIODevice::ReadOnly)
                                : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened)
        return IoResult::failure(path, file.errorString());
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
