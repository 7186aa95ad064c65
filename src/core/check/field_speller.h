#pragma once

#include "platform/spelling.h"

#include <QChar>
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace lexanta {

// The spelling of one field: its dictionary, and what it said of each word so far.
class FieldSpeller {
public:
    FieldSpeller(const QString& dictionary, QChar::Script script);

    bool isLoaded() const { return dictionary_.isLoaded(); }
    const QString& dictionaryName() const { return dictionary_.name(); }

    struct Misspelt {
        qsizetype position;
        QString word;
    };
    // The words of a decoded cell that the dictionary does not know. Words of another script
    // than the dictionary's are not its business.
    void misspelt(const QString& text, std::vector<Misspelt>& out);
    QStringList suggestions(const QString& word);

private:
    // What the dictionary says of a word, asked once; `shared` gets the cached copy of it.
    bool isKnown(const QString& word, QString* shared = nullptr);

    SpellingDictionary dictionary_;
    QChar::Script script_;
    QHash<QString, bool> known_;
    QHash<QString, QStringList> suggested_;
};

} // namespace lexanta
