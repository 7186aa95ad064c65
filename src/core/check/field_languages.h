#pragma once

// The language of each field, as the vocabulary tells it, and the dictionary and code page
// that go with it.

#include "core/check/check_types.h"
#include "core/vocab/vocabulary.h"

#include <QChar>
#include <QString>

namespace lexanta {

// The ISO code of a language named in a description box: "English", "Russian", "German", ...,
// their Russian names ("Английский", "русский язык"), their own names ("Deutsch") or a code
// ("en", "pt_BR"). Empty when the text names no language known here.
QString languageCodeOfName(const QString& text);

// The script a language is written in (Latin for most, Cyrillic for Russian, ...).
QChar::Script scriptOfLanguage(const QString& code);

// The language's English name ("Italian" for "it").
QString languageName(const QString& code);

// How each field is checked: its code page, its language from the description (questions and
// answers) or else from its keyboard layout, the dictionary (the one the options name, or the
// language's), and the kinds to check.
CheckSetup checkSetup(const VocabularyHeader& header, const CheckOptions& options);

} // namespace lexanta
