#include "platform/file_names.h"

#include <QStringList>

#include <dirent.h>

#include <memory>

namespace lexanta {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kReplacement = 0xFFFD;

bool isEscape(QStringView s, qsizetype i) {
    const char16_t c = s[i].unicode();
    if (c < 0xDC80 || c > 0xDCFF)
        return false;
    // A low surrogate after a high one is half of a real character.
    return i == 0 || !QChar::isHighSurrogate(s[i - 1].unicode());
}

// Length of the well-formed UTF-8 sequence at `p` (at most `left` bytes), or 0.
int sequenceLength(const unsigned char* p, qsizetype left, char32_t& codePoint) {
    const unsigned char b = p[0];
    int length;
    char32_t min;
    if (b < 0x80) {
        codePoint = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        length = 2, min = 0x80, codePoint = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3, min = 0x800, codePoint = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4, min = 0x10000, codePoint = b & 0x07;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (p[k] & 0x3F);
    }
    // Overlong forms, encoded surrogates and values past U+10FFFF are not UTF-8.
    if (codePoint < min || (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF)
        return 0;
    return length;
}

} // namespace

QString fileNameFromBytes(QByteArrayView bytes) {
    QString name;
    name.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t codePoint = 0;
        const int length = sequenceLength(p + i, bytes.size() - i, codePoint);
        if (length == 0) {
            name += QChar(static_cast<char16_t>(kEscapeBase + p[i]));
            ++i;
            continue;
        }
        name += QChar::fromUcs4(codePoint);
        i += length;
    }
    return name;
}

QByteArray fileNameToBytes(const QString& name) {
    if (!hasRawBytes(name))
        return name.toUtf8();
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscape(name, i))
            continue;
        bytes += QStringView(name).mid(start, i - start).toUtf8();
        bytes += static_cast<char>(name[i].unicode() - kEscapeBase);
        start = i + 1;
    }
    bytes += QStringView(name).mid(start).toUtf8();
    return bytes;
}

bool hasRawBytes(const QString& name) {
    for (qsizetype i = 0; i < name.size(); ++i)
        if (isEscape(name, i))
            return true;
    return false;
}

QString displayFileName(const QString& name) {
    QString shown = name;
    for (qsizetype i = 0; i < shown.size(); ++i)
        if (isEscape(name, i))
            shown[i] = QChar(kReplacement);
    return shown;
}

QString resolveListedFileName(const QString& name) {
    if (!name.contains(QChar(kReplacement)))
        return name;
    const QStringList parts = name.split(QLatin1Char('/'));
    QByteArray resolved;
    for (qsizetype k = 0; k < parts.size(); ++k) {
        if (k > 0)
            resolved += '/';
        const QString& part = parts[k];
        QByteArray chosen = fileNameToBytes(part);
        if (part.contains(QChar(kReplacement))) {
            const QByteArray folder = resolved.isEmpty() ? QByteArray(".") : resolved;
            const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.constData()), closedir);
            int matches = 0;
            QByteArray match;
            while (dir) {
                const dirent* entry = readdir(dir.get());
                if (!entry)
                    break;
                if (QString::fromUtf8(entry->d_name) == part) {
                    ++matches;
                    match = entry->d_name;
                }
            }
            // Two entries that read the same cannot be told apart: the name stays as given.
            if (matches == 1)
                chosen = match;
        }
        resolved += chosen;
    }
    return fileNameFromBytes(resolved);
}

} // namespace lexanta
