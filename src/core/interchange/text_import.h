#pragma once

// File > Import: word lists from plain and tab-delimited text.

#include "core/vocab/entry_table.h"

#include <QString>

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace lexanta {

// The layouts of File > Import, numbered as the filters of the import dialog (FilterIndex).
enum class ImportFormat : int {
    TextPairs = 1,   // question line, answer line, question line, ...
    TwoFields = 2,   // question TAB answer (further TABs belong to the answer)
    ThreeFields = 3, // question TAB answer TAB comment (further TABs belong to the comment)
};

// The format a FilterIndex of the import dialog selects; nothing for other values.
std::optional<ImportFormat> importFormatForFilterIndex(int filterIndex);

// One field of the file that could not be stored as it was meant.
struct ImportProblem {
    enum class Kind {
        Unencodable, // characters the column's code page cannot hold
        InvalidUtf8, // a file marked as UTF-8 whose field is not valid UTF-8
        NulByte,     // a zero byte, which would end the field early (a UTF-16 file, mostly)
    };
    Kind kind = Kind::Unencodable;
    int line = 0;          // line of the file, counted from 1
    int field = kQuestion; // kQuestion, kAnswer or kComment
    int codePage = 0;      // the field's code page
    QString characters;    // Unencodable: the characters, each once
};

struct ImportResult {
    int entries = 0; // entries read; an empty file reads none
    // Why nothing could be read at all ("too many entries: N, at most M"); empty otherwise.
    QString error;
    bool convertedFromUtf8 = false;
    // The first kMaxListedProblems problems in file order; problemCount counts them all.
    std::vector<ImportProblem> problems;
    int problemCount = 0;
    // The first line holding U+FEFF after the file's start (two files joined, each with its
    // byte-order mark), 0 when none does.
    int byteOrderMarkLine = 0;
    bool ok() const { return problemCount == 0 && error.isEmpty(); }
};

inline constexpr int kMaxListedProblems = 1000;

// Reads a text file's bytes in `format` into `out`: its entries are replaced by the file's
// entries in file order (question, answer, comment; the extra fields stay empty), at least
// one, so an empty file gives one empty entry. Lines end in LF or CR LF; a line end after the last
// line adds nothing; lines are taken whole however long. Readers do not trim: the caller runs
// normalizeCells after accepting the result.
//
// Line shapes: format 2 without a TAB is a question with an empty answer; format 3 with one
// TAB has an empty comment, without a TAB it is a question alone; format 1 with an odd number
// of lines gives the last question an empty answer.
//
// Encoding: a file that starts with a UTF-8 byte-order mark, or is valid UTF-8 and holds
// bytes above 127, is converted field by field into the code page of the field's column
// (columnCodePages: question, answer, comment). Every other file is taken byte for byte.
// Characters a column's code page cannot hold are never replaced silently: they are left
// out of the cell and listed in the result, as are zero bytes.
//
// Use from File > Import: read the file with readWholeFile before touching the document (a
// file that cannot be read is reported by name and reason and nothing changes), import into
// a scratch table, and only when the result is ok() reset the document and adopt the table;
// otherwise show describeImportProblems and keep the document as it was. A file of more
// entries than a table holds is refused before `out` is touched (ImportResult::error).
// `progress` hears of the lines read so far, of all lines. `dropByteOrderMarks` drops every
// U+FEFF of a converted file; otherwise one is a character like any other.
ImportResult importText(std::string_view bytes, ImportFormat format,
                        const std::array<int, kShownFields>& columnCodePages, EntryTable& out,
                        const ProgressCallback& progress = {}, bool dropByteOrderMarks = false);

// True when importText would convert the bytes from UTF-8.
bool isUtf8Text(std::string_view bytes);

// English message naming the file and, line by line, the first `maxListed` problems:
// "Cannot import words.txt: ...\nLine 3, answer (code page 1252): ж ы". A character that
// shows nothing (a format or control character, a space other than the blank) is named by
// its code point, "U+FEFF". Empty when ok().
QString describeImportProblems(const ImportResult& result, const QString& fileName,
                               int maxListed = 10);

} // namespace lexanta
