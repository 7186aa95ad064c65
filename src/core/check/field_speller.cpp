#include "core/check/field_speller.h"

#include "core/check/cell_checks.h"

namespace lexanta {

FieldSpeller::FieldSpeller(const QString& dictionary, QChar::Script script)
    : dictionary_(dictionary), script_(script) {}

void FieldSpeller::misspelt(const QString& text, std::vector<Misspelt>& out) {
    for (const WordSpan& span : wordsOf(text)) {
        const QStringView view = QStringView(text).mid(span.position, span.length);
        if (!isWordOfScript(view, script_))
            continue;
        const QString word = view.toString();
        auto it = known_.constFind(word);
        if (it == known_.constEnd())
            it = known_.insert(word, dictionary_.isCorrect(word));
        if (!it.value())
            out.push_back({span.position, it.key()}); // shares the cached word's text
    }
}

QStringList FieldSpeller::suggestions(const QString& word) {
    auto it = suggested_.constFind(word);
    if (it == suggested_.constEnd())
        it = suggested_.insert(word, dictionary_.suggestions(word));
    return it.value();
}

} // namespace lexanta
