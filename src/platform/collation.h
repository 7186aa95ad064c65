#pragma once

#include <QString>

#include <memory>
#include <string>

namespace lexanta {

// Locale-aware, case-insensitive comparison of texts (ICU collation at secondary
// strength: case ignored, accents not), as a word sort: hyphens and apostrophes count
// only between texts that are otherwise equal. In the C/POSIX locale ICU's root collation
// is used, so "apple" < "Zebra" holds everywhere. Empty texts sort first. Scripts
// keep their common order (Latin before Cyrillic) in every locale.
class KeyCollator {
public:
    // Secondary: the sort's order above. Primary: texts that differ only in case, accents,
    // punctuation and spacing compare equal (duplicate questions).
    enum class Strength { Secondary, Primary };

    // localeName empty: the user's locale from LC_ALL / LC_COLLATE / LANG.
    explicit KeyCollator(const QString& localeName = {}, Strength strength = Strength::Secondary);
    ~KeyCollator();
    KeyCollator(const KeyCollator&) = delete;
    KeyCollator& operator=(const KeyCollator&) = delete;

    // Negative, zero or positive.
    int compare(const QString& a, const QString& b) const;
    // A byte string whose memcmp order equals compare()'s order.
    std::string sortKey(const QString& text) const;
    // Texts of ASCII letters and digits compare equal in this order exactly when their bytes
    // are equal but for case; not where the locale joins or expands such letters (Hungarian
    // "ccs" is "cscs") or tells their cases apart.
    bool comparesPlainWordsCaselessly() const { return plainWordsCaseless_; }
    // The same holds for such texts with blanks: a blank is neither ignorable nor joined.
    bool blanksAreLetters() const { return blanksAreLetters_; }

private:
    int collate(const QString& a, const QString& b) const;

    Strength strength_;
    struct Impl;
    std::unique_ptr<Impl> impl_;
    bool plainWordsCaseless_ = false;
    bool blanksAreLetters_ = false;
};

// Lower-cases text for the user's locale (find with match case off).
QString lowerForLocale(const QString& text);

// The same for one locale, read once: a search lower-cases many texts.
class LocaleLowerCase {
public:
    // The user's locale from LC_ALL / LC_CTYPE / LANG.
    LocaleLowerCase();
    QString operator()(const QString& text) const;
    // Lower-cases `size` UTF-16 units into `out`, which holds `room`; the length of the result
    // (more than `room` when it did not fit), or -1 when the text cannot be lower-cased.
    int lower(const char16_t* text, int size, char16_t* out, int room) const;
    // ICU's name of the locale ("" for the root locale).
    const QByteArray& locale() const { return locale_; }

private:
    QByteArray locale_;
};

} // namespace lexanta
