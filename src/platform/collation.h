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

private:
    int collate(const QString& a, const QString& b) const;

    Strength strength_;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Lower-cases text for the user's locale (find with match case off).
QString lowerForLocale(const QString& text);

} // namespace lexanta
