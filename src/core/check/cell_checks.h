#pragma once

// The checks of one cell that need nothing but the cell: blanks, characters, words.

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace lexanta {

class CodePage;

// BlankFlags of a cell's bytes. Bytes up to the blank are never part of a multi-byte
// character in any code page a font selects, so the bytes are looked at directly.
int blankFlags(std::string_view cell);

// The cell without those: control characters become blanks, runs of blanks one blank, and
// both ends are trimmed.
std::string tidyBlanks(std::string_view cell);

// A character that decoding gives a byte the code page maps to nothing (or to a private
// character no font shows).
bool isUndefinedCharacter(char32_t c);

// The first byte of the cell that the page maps to no character; -1 when there is none.
int firstUndefinedByte(std::string_view cell, const CodePage& page);

// How many letters of `script` outside ASCII a decoded text holds.
int highLettersOfScript(const QString& decoded, QChar::Script script);

// Where the words of a text stand: runs of letters, an apostrophe between two letters
// joining them; text in square brackets (a transcription) has none, and a run that touches a
// digit ("mp3") is no word.
struct WordSpan {
    qsizetype position;
    qsizetype length;
};
std::vector<WordSpan> wordsOf(const QString& text);

// Whether a word is for a dictionary of `script`: some letter of it is of that script.
bool isWordOfScript(QStringView word, QChar::Script script);

} // namespace lexanta
