#include "platform/file_io.h"

#include <QFile>
#include <QSaveFile>

#include <sys/mman.h>

#include <cstdint>
#include <cstdio>

namespace lexanta {

QString IoResult::message(const QString& verb) const {
    return QStringLiteral("%1 %2: %3").arg(verb, path, reason);
}

void preferLargePages(const void* data, std::size_t size) {
#if defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kLarge = 2 << 20;
    if (size < 2 * kLarge)
        return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + 4095) & ~std::uintptr_t(4095);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~std::uintptr_t(4095);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

IoResult readWholeFile(const QString& path, std::string& bytes) {
    QFile file;
    const bool isStdin = path == QLatin1String("-");
    const bool opened =
        isStdin ? file.open(stdin, QIODevice::ReadOnly | QIODevice::Unbuffered)
                : (file.setFileName(path), file.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    if (!opened)
        return IoResult::failure(path, file.errorString());
    // Read straight into the string: a vocabulary of hundreds of megabytes is held once, not
    // twice. A file that is longer than it said, or a pipe, goes on in chunks.
    std::string data;
    if (!file.isSequential()) {
        data.reserve(static_cast<std::size_t>(file.size()));
        preferLargePages(data.data(), data.capacity());
        data.resize(static_cast<std::size_t>(file.size()));
    }
    std::size_t used = 0;
    char chunk[1 << 16];
    for (;;) {
        const bool intoData = used < data.size();
        const qint64 n = file.read(intoData ? data.data() + used : chunk,
                                   intoData ? static_cast<qint64>(data.size() - used)
                                            : static_cast<qint64>(sizeof chunk));
        if (n < 0)
            return IoResult::failure(path, file.errorString());
        if (n == 0)
            break;
        if (!intoData)
            data.append(chunk, static_cast<std::size_t>(n));
        used += static_cast<std::size_t>(n);
    }
    data.resize(used);
    bytes = std::move(data);
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
