#pragma once

// What the list check finds, and what it needs to know about each field.

#include <QString>

#include <array>
#include <optional>

namespace lexanta {

class CodePage;

// The kinds of findings, in the order the check panel lists them.
enum class CheckKind : unsigned char {
    Duplicate,        // the question of an earlier entry, and an answer that agrees with it
    DifferentAnswers, // the question of an earlier entry with another answer
    Spelling,
    Gap,       // an empty question or answer, an empty entry, an answer equal to its question
    Blank,     // leading, trailing or doubled blanks, control characters
    Character, // bytes the drill program will not show as typed
};
inline constexpr int kCheckKindCount = 6;
using CheckKinds = unsigned; // bit (1 << kind)
inline constexpr CheckKinds kAllCheckKinds = (1u << kCheckKindCount) - 1;
inline constexpr CheckKinds kindBit(CheckKind kind) {
    return 1u << static_cast<unsigned>(kind);
}

enum class Problem : unsigned char {
    Duplicate,        // `other`: the group's first entry
    DifferentAnswers, // `other`: the group's first entry
    Misspelt,         // `text`: the word, at `position` (characters) in the decoded cell
    EmptyQuestion,
    EmptyAnswer,
    EmptyEntry,
    AnswerIsQuestion,
    Blanks,        // `detail`: BlankFlags
    UndefinedByte, // `detail`: the byte; the field's code page maps it to no character
    OtherScript,   // `detail`: the code page the field's language is written in; `text`: the
                   // cell read in it
    SystemScript,  // `detail`: the code page here; the font leaves the page to the system
};

enum BlankFlags : int {
    kLeadingBlank = 1,
    kTrailingBlank = 2,
    kDoubledBlank = 4,
    kControlCharacter = 8,
};

struct Finding {
    CheckKind kind = CheckKind::Gap;
    Problem problem = Problem::EmptyQuestion;
    int entry = 0;
    int field = 0;
    int other = -1;
    int detail = 0;
    int position = -1;
    QString text;

    bool operator==(const Finding&) const = default;
};

// What the user chose: the kinds to look for, and a dictionary per field (question, answer,
// comment) in place of the one the field's language gives; an empty name checks no spelling.
struct CheckOptions {
    CheckKinds kinds = kAllCheckKinds;
    std::array<std::optional<QString>, 3> dictionaries;
    bool operator==(const CheckOptions&) const = default;
};

// Where a field's language came from.
enum class LanguageSource : unsigned char { None, Description, KeyboardLayout, Chosen };

// How one field is checked, from the vocabulary's header and the options.
struct FieldSetup {
    int codePage = 1252;  // the page its font's character set selects
    int charset = 1;      // the font's character set
    QString language;     // ISO code ("en", "ru"); empty when unknown
    QString languageName; // as the description or the layout gave it
    LanguageSource source = LanguageSource::None;
    QString dictionary;             // installed dictionary name; empty: no spelling
    bool dictionaryMissing = false; // the language has no installed dictionary
    int languageCodePage = 0;       // the page the language is written in; 0 unknown
    bool operator==(const FieldSetup&) const = default;
};

struct CheckSetup {
    CheckKinds kinds = kAllCheckKinds;
    std::array<FieldSetup, 3> fields;
    bool operator==(const CheckSetup&) const = default;
};

} // namespace lexanta
