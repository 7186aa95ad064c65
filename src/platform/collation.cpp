#include "platform/collation.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <cstdlib>
#include <vector>

namespace lexanta {

namespace {

// "ru_RU.UTF-8@euro" -> "ru_RU"; "C", "POSIX" and "" -> "" (ICU's root locale).
QByteArray icuLocale(const QString& posixName) {
    QString name = posixName.trimmed();
    name.truncate(name.indexOf(QLatin1Char('@')) >= 0 ? name.indexOf(QLatin1Char('@'))
                                                      : name.size());
    name.truncate(name.indexOf(QLatin1Char('.')) >= 0 ? name.indexOf(QLatin1Char('.'))
                                                      : name.size());
    if (name.isEmpty() || name == QLatin1String("C") || name == QLatin1String("POSIX"))
        return {};
    return name.replace(QLatin1Char('-'), QLatin1Char('_')).toLatin1();
}

QString environmentLocale(const char* category) {
    for (const char* variable : {"LC_ALL", category, "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return QString::fromLocal8Bit(value);
    }
    return {};
}

const UChar* utf16(const QString& text) {
    return reinterpret_cast<const UChar*>(text.utf16());
}

} // namespace

struct KeyCollator::Impl {
    UCollator* collator = nullptr;
    ~Impl() {
        if (collator)
            ucol_close(collator);
    }
};

KeyCollator::KeyCollator(const QString& localeName) : impl_(std::make_unique<Impl>()) {
    const QByteArray locale =
        icuLocale(localeName.isEmpty() ? environmentLocale("LC_COLLATE") : localeName);
    UErrorCode error = U_ZERO_ERROR;
    impl_->collator = ucol_open(locale.constData(), &error);
    if (U_FAILURE(error)) {
        // An unusable locale name: the root order still sorts every script sensibly.
        error = U_ZERO_ERROR;
        impl_->collator = ucol_open("", &error);
    }
    if (!impl_->collator)
        return;
    ucol_setStrength(impl_->collator, UCOL_SECONDARY);
    // Keep the scripts in their common order (Latin before Greek before Cyrillic)
    // as Windows does in every locale; some locales (e.g. Russian) would put
    // their own script first.
    const int32_t noReordering = UCOL_REORDER_CODE_NONE;
    error = U_ZERO_ERROR;
    ucol_setReorderCodes(impl_->collator, &noReordering, 1, &error);
}

KeyCollator::~KeyCollator() = default;

int KeyCollator::compare(const QString& a, const QString& b) const {
    // Texts of ignorable characters only would otherwise tie with the empty text.
    if (a.isEmpty() || b.isEmpty())
        return int(!a.isEmpty()) - int(!b.isEmpty());
    if (!impl_->collator)
        return a.compare(b, Qt::CaseInsensitive);
    switch (ucol_strcoll(impl_->collator, utf16(a), static_cast<int32_t>(a.size()), utf16(b),
                         static_cast<int32_t>(b.size()))) {
    case UCOL_LESS:
        return -1;
    case UCOL_GREATER:
        return 1;
    case UCOL_EQUAL:
        break;
    }
    return 0;
}

std::string KeyCollator::sortKey(const QString& text) const {
    // The empty text has the empty key; every other key starts with 0x01, so
    // the empty text sorts first here too.
    if (text.isEmpty())
        return {};
    if (!impl_->collator) {
        const QByteArray folded = text.toCaseFolded().toUtf8();
        return '\x01' + folded.toStdString();
    }
    std::string key(1, '\x01');
    std::vector<uint8_t> buffer(static_cast<std::size_t>(text.size()) * 4 + 16);
    const int32_t length = static_cast<int32_t>(text.size());
    int32_t needed = ucol_getSortKey(impl_->collator, utf16(text), length, buffer.data(),
                                     static_cast<int32_t>(buffer.size()));
    if (needed > static_cast<int32_t>(buffer.size())) {
        buffer.resize(static_cast<std::size_t>(needed));
        needed = ucol_getSortKey(impl_->collator, utf16(text), length, buffer.data(), needed);
    }
    // ICU ends its keys with a zero byte; std::string compares lengths anyway.
    if (needed > 0 && buffer[static_cast<std::size_t>(needed) - 1] == 0)
        --needed;
    key.append(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(needed));
    return key;
}

QString lowerForLocale(const QString& text) {
    if (text.isEmpty())
        return text;
    const QByteArray locale = icuLocale(environmentLocale("LC_CTYPE"));
    QString result(text.size(), Qt::Uninitialized);
    UErrorCode error = U_ZERO_ERROR;
    int32_t length =
        u_strToLower(reinterpret_cast<UChar*>(result.data()), static_cast<int32_t>(result.size()),
                     utf16(text), static_cast<int32_t>(text.size()), locale.constData(), &error);
    if (error == U_BUFFER_OVERFLOW_ERROR) {
        result.resize(length);
        error = U_ZERO_ERROR;
        length = u_strToLower(reinterpret_cast<UChar*>(result.data()),
                              static_cast<int32_t>(result.size()), utf16(text),
                              static_cast<int32_t>(text.size()), locale.constData(), &error);
    }
    if (U_FAILURE(error))
        return text.toLower();
    result.truncate(length);
    return result;
}

} // namespace lexanta
