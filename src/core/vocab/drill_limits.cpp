#include "core/vocab/drill_limits.h"

namespace lexanta {

OverlongTexts findOverlongTexts(const Vocabulary& doc) {
    OverlongTexts found;
    const VocabularyHeader& h = doc.header;
    if (doc.currentFormat)
        for (const std::string* text :
             {&h.questionsLanguage, &h.answersLanguage, &h.title, &h.author, &h.date})
            if (text->size() > kDrillDescriptionLineLimit) {
                found.inDescription = found.inDescription || found.count == 0;
                ++found.count;
            }
    const EntryTable& table = doc.entries;
    for (int i = 0; i < table.entryCount(); ++i)
        for (int f = 0; f < kFieldCount; ++f)
            if (table.text(i, f).size() > kDrillEntryLineLimit) {
                if (found.count++ == 0) {
                    found.firstEntry = i;
                    found.firstField = f;
                }
            }
    return found;
}

} // namespace lexanta
