#pragma once

// The captions a worksheet prints besides the vocabulary's own texts, in the language of the
// interface.

#include "core/ui_language/language_tables.h"

#include <QString>

namespace lexanta {

enum class SheetText {
    Question,
    Answer,
    Comment,
    Languages,
    Author,
    Date,
    Test,
    Variant,   // "Variant %1"
    AnswerKey, // "Answer key"
    Name,
    Page, // "Page %1"
    Fronts,
    Backs,
};

QString sheetText(SheetText text, InterfaceLanguage language);

} // namespace lexanta
