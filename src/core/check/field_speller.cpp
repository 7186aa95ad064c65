#include "core/check/field_speller.h"

#include "core/check/cell_checks.h"

namespace lexanta {

FieldSpeller::FieldSpeller(const QString& dictionary, QChar::Script script)
    : dictionary_(dictionary), script_(script) {}

namespace {

bool isJoiner(QChar c) {
    return c == QLatin1Char('-') || c == QLatin1Char('.');
}

} // namespace

bool FieldSpeller::isKnown(const QString& word, QString* shared) {
    auto it = known_.constFind(word);
    if (it == known_.constEnd())
        it = known_.insert(word, dictionary_.isCorrect(word));
    if (shared)
        *shared = it.key();
    return it.value();
}

void FieldSpeller::misspelt(const QString& text, std::vector<Misspelt>& out) {
    const std::vector<WordSpan> spans = wordsOf(text);
    const auto endOf = [&](std::size_t i) { return spans[i].position + spans[i].length; };
    const auto dotAfter = [&](qsizetype end) {
        return end < text.size() && text.at(end) == QLatin1Char('.');
    };
    for (std::size_t i = 0; i < spans.size(); ++i) {
        // Dictionaries know compounds ("T-Shirt", "E-Mail") and abbreviations ("jmdn.",
        // "z.B.") whole, though not always their parts: a run of words joined by hyphens or
        // dots that the dictionary knows, with the dot after it or without, is right.
        std::size_t last = i;
        while (last + 1 < spans.size() && spans[last + 1].position == endOf(last) + 1 &&
               isJoiner(text.at(endOf(last))))
            ++last;
        const QString run = text.mid(spans[i].position, endOf(last) - spans[i].position);
        if ((dotAfter(endOf(last)) && isKnown(run + QLatin1Char('.'))) ||
            (last > i && isKnown(run))) {
            i = last;
            continue;
        }
        const QStringView view = QStringView(text).mid(spans[i].position, spans[i].length);
        if (!isWordOfScript(view, script_))
            continue;
        QString word;
        if (!isKnown(view.toString(), &word) &&
            !(dotAfter(endOf(i)) && isKnown(word + QLatin1Char('.'))))
            out.push_back({spans[i].position, word}); // shares the cached word's text
    }
}

QStringList FieldSpeller::suggestions(const QString& word) {
    auto it = suggested_.constFind(word);
    if (it == suggested_.constEnd())
        it = suggested_.insert(word, dictionary_.suggestions(word));
    return it.value();
}

} // namespace lexanta
