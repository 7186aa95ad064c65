#include "platform/collation.h"

#include <unicode/ucol.h>
#include <unicode/uset.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <compare>
#include <cstdint>
#include <cstdlib>
#include <new>
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

// The word sort: hyphens and apostrophes do not count at first, so "co-op" stands beside
// "coop"; among texts equal without them, a mark sorts before the letter in its place
// ("co-op" < "coop"), earlier marks first.
bool isWordMark(QChar c) {
    return c == QLatin1Char('-') || c == QLatin1Char('\'');
}

struct WordMark {
    qsizetype position; // in the text without marks
    char16_t mark;
    friend auto operator<=>(const WordMark&, const WordMark&) = default;
};

// The text without its marks, and where the marks stood.
struct SplitText {
    QString letters;
    std::vector<WordMark> marks;
};

SplitText splitWordMarks(const QString& text) {
    SplitText split;
    if (std::none_of(text.begin(), text.end(), isWordMark)) {
        split.letters = text;
        return split;
    }
    split.letters.reserve(text.size());
    for (const QChar c : text) {
        if (isWordMark(c))
            split.marks.push_back({split.letters.size(), c.unicode()});
        else
            split.letters.append(c);
    }
    return split;
}

// Marks compared position by position; a text that has no more marks sorts after one that
// does, as the letter that follows sorts after the mark.
int compareMarks(const std::vector<WordMark>& a, const std::vector<WordMark>& b) {
    for (std::size_t i = 0; i < a.size() || i < b.size(); ++i) {
        if (i == a.size())
            return 1;
        if (i == b.size())
            return -1;
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    }
    return 0;
}

// Big-endian fixed-width marks and an end marker above every position: memcmp then orders
// the encodings as compareMarks() orders the marks.
void appendMarks(std::string& key, const std::vector<WordMark>& marks) {
    const auto append32 = [&key](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            key.push_back(static_cast<char>((v >> shift) & 0xFF));
    };
    for (const WordMark& m : marks) {
        append32(static_cast<std::uint32_t>(m.position));
        key.push_back(static_cast<char>(m.mark));
    }
    append32(0xFFFFFFFFu);
}

bool isAsciiWordCharacter(UChar32 c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isAsciiWordCharacterOrBlank(UChar32 c) {
    return c == ' ' || isAsciiWordCharacter(c);
}

// The set holds a code point, or a string, made of characters `part` accepts only.
bool holdsAsciiPart(const USet* set, bool (*part)(UChar32)) {
    std::vector<UChar> text(64);
    for (int32_t i = 0, n = uset_getItemCount(set); i < n; ++i) {
        UChar32 first = 0, last = 0;
        UErrorCode error = U_ZERO_ERROR;
        const int32_t length = uset_getItem(set, i, &first, &last, text.data(),
                                            static_cast<int32_t>(text.size()), &error);
        if (error == U_BUFFER_OVERFLOW_ERROR)
            continue; // longer than any word part a locale joins
        if (U_FAILURE(error))
            continue;
        if (length == 0) {
            for (UChar32 c = first; c <= last && c < 0x80; ++c)
                if (part(c))
                    return true;
        } else if (std::all_of(text.begin(), text.begin() + length,
                               [part](UChar u) { return part(u); })) {
            return true;
        }
    }
    return false;
}

} // namespace

struct KeyCollator::Impl {
    UCollator* collator = nullptr;
    ~Impl() {
        if (collator)
            ucol_close(collator);
    }
};

KeyCollator::KeyCollator(const QString& localeName, Strength strength)
    : strength_(strength), impl_(std::make_unique<Impl>()) {
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
    ucol_setStrength(impl_->collator,
                     strength == Strength::Primary ? UCOL_PRIMARY : UCOL_SECONDARY);
    if (strength == Strength::Primary) {
        // Blanks and punctuation become ignorable at the primary level.
        error = U_ZERO_ERROR;
        ucol_setAttribute(impl_->collator, UCOL_ALTERNATE_HANDLING, UCOL_SHIFTED, &error);
    }
    // Keep the scripts in their common order (Latin before Greek before Cyrillic) in every
    // locale; some locales (e.g. Russian) would put their own script first.
    const int32_t noReordering = UCOL_REORDER_CODE_NONE;
    error = U_ZERO_ERROR;
    ucol_setReorderCodes(impl_->collator, &noReordering, 1, &error);

    // Root's order neither joins nor expands ASCII letters, digits and blanks, and at this
    // strength it tells case apart only when asked; a locale that does either has tailored
    // them or turned the case level on. Listing all of a locale's contractions and expansions
    // instead takes some 13 ms, the tailored set well under one.
    error = U_ZERO_ERROR;
    USet* tailored = ucol_getTailoredSet(impl_->collator, &error);
    // Without an answer the collator decides every comparison.
    if (U_SUCCESS(error)) {
        const auto attribute = [this](UColAttribute which) {
            UErrorCode e = U_ZERO_ERROR;
            const UColAttributeValue value = ucol_getAttribute(impl_->collator, which, &e);
            return U_SUCCESS(e) ? value : UCOL_DEFAULT;
        };
        plainWordsCaseless_ = attribute(UCOL_CASE_LEVEL) == UCOL_OFF &&
                              !holdsAsciiPart(tailored, isAsciiWordCharacter);
        // Ignorable blanks: Primary here, Thai by default.
        blanksAreLetters_ = plainWordsCaseless_ &&
                            attribute(UCOL_ALTERNATE_HANDLING) == UCOL_NON_IGNORABLE &&
                            !holdsAsciiPart(tailored, isAsciiWordCharacterOrBlank);
    }
    if (tailored)
        uset_close(tailored);
}

KeyCollator::~KeyCollator() = default;

int KeyCollator::compare(const QString& a, const QString& b) const {
    // Texts of ignorable characters only would otherwise tie with the empty text.
    if (a.isEmpty() || b.isEmpty())
        return int(!a.isEmpty()) - int(!b.isEmpty());
    if (strength_ == Strength::Primary) // marks are ignorable at this level anyway
        return collate(a, b);
    const SplitText sa = splitWordMarks(a);
    const SplitText sb = splitWordMarks(b);
    const int letters = collate(sa.letters, sb.letters);
    return letters != 0 ? letters : compareMarks(sa.marks, sb.marks);
}

int KeyCollator::collate(const QString& a, const QString& b) const {
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
    SplitText split;
    if (strength_ == Strength::Primary)
        split.letters = text;
    else
        split = splitWordMarks(text);
    std::string key(1, '\x01');
    if (!impl_->collator) {
        key += split.letters.toCaseFolded().toUtf8().toStdString();
    } else {
        std::vector<uint8_t> buffer(static_cast<std::size_t>(split.letters.size()) * 4 + 16);
        const int32_t length = static_cast<int32_t>(split.letters.size());
        const UChar* letters = utf16(split.letters);
        int32_t needed = ucol_getSortKey(impl_->collator, letters, length, buffer.data(),
                                         static_cast<int32_t>(buffer.size()));
        if (needed > static_cast<int32_t>(buffer.size())) {
            buffer.resize(static_cast<std::size_t>(needed));
            needed = ucol_getSortKey(impl_->collator, letters, length, buffer.data(), needed);
        }
        // No key at all is ICU running out of memory: an empty key would sort the text first.
        if (needed <= 0)
            throw std::bad_alloc();
        // ICU ends its keys with its only zero byte, which parts the letters from the marks.
        if (needed > 0 && buffer[static_cast<std::size_t>(needed) - 1] == 0)
            --needed;
        key.append(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(needed));
    }
    key.push_back('\0');
    appendMarks(key, split.marks);
    return key;
}

QString lowerForLocale(const QString& text) {
    return LocaleLowerCase()(text);
}

LocaleLowerCase::LocaleLowerCase() : locale_(icuLocale(environmentLocale("LC_CTYPE"))) {}

int LocaleLowerCase::lower(const char16_t* text, int size, char16_t* out, int room) const {
    UErrorCode error = U_ZERO_ERROR;
    const int32_t length =
        u_strToLower(reinterpret_cast<UChar*>(out), room, reinterpret_cast<const UChar*>(text),
                     size, locale_.constData(), &error);
    if (error == U_BUFFER_OVERFLOW_ERROR)
        return length;
    return U_FAILURE(error) ? -1 : length;
}

QString LocaleLowerCase::operator()(const QString& text) const {
    if (text.isEmpty())
        return text;
    QString result(text.size(), Qt::Uninitialized);
    const auto size = static_cast<int>(text.size());
    int length = lower(reinterpret_cast<const char16_t*>(text.utf16()), size,
                       reinterpret_cast<char16_t*>(result.data()), size);
    if (length > size) {
        result.resize(length);
        length = lower(reinterpret_cast<const char16_t*>(text.utf16()), size,
                       reinterpret_cast<char16_t*>(result.data()), length);
    }
    if (length < 0)
        return text.toLower();
    result.truncate(length);
    return result;
}

} // namespace lexanta
