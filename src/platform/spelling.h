#pragma once

// Hunspell dictionaries installed on this system.

#include <QString>
#include <QStringList>

#include <memory>

namespace lexanta {

// One dictionary, by its name ("en_US", "ru_RU", "fr"). Words go in and out as Unicode text
// and are converted to and from the dictionary's own encoding (the SET line of its .aff file:
// UTF-8, KOI8-R, ISO8859-1, ...). Not for use by two threads at once.
class SpellingDictionary {
public:
    explicit SpellingDictionary(const QString& name);
    ~SpellingDictionary();
    SpellingDictionary(const SpellingDictionary&) = delete;
    SpellingDictionary& operator=(const SpellingDictionary&) = delete;

    // False when no dictionary of that name is installed, or its files cannot be read.
    bool isLoaded() const;
    const QString& name() const { return name_; }
    // A word the dictionary's encoding cannot hold is not in it.
    bool isCorrect(const QString& word) const;
    // Hunspell's suggestions, best first; at most `max`. Takes tens of milliseconds a word.
    QStringList suggestions(const QString& word, int max = 5) const;

private:
    struct Impl;
    QString name_;
    std::unique_ptr<Impl> impl_;
};

// Where dictionaries are looked for: the folders of $DICPATH (colon-separated), then
// /usr/share/hunspell, /usr/share/myspell and /usr/share/myspell/dicts.
QStringList dictionaryFolders();
// The names of the installed dictionaries (NAME.aff beside NAME.dic), sorted, each once.
QStringList installedDictionaries();
// The installed dictionary for a language: "en" or "en_GB" gives "en_GB" when installed, else
// the language's usual one ("en_US"), else any of that language; empty when there is none.
QString dictionaryForLanguage(const QString& language);

} // namespace lexanta
