#pragma once

// Delimited text: CSV as RFC 4180 has it (and as spreadsheets write it, with the delimiter of
// their locale), and the plain separated text Quizlet reads and writes.

#include "core/interchange/list_export.h"
#include "core/interchange/sheet.h"
#include "core/interchange/text_decoding.h"
#include "core/vocab/entry_table.h"

#include <QString>

#include <string>
#include <string_view>

namespace lexanta {

enum class HeaderChoice { Auto, Yes, No };

struct CsvOptions {
    QString delimiter; // one character; empty: detected (tab, semicolon, comma, bar)
    TextEncoding encoding;
    HeaderChoice header = HeaderChoice::Auto;
};

// Reads CSV: fields in double quotes may hold delimiters, line ends and "" for a quote; a field
// with more than blanks after its closing quote ("Haus" (das)) is taken as written, quotes and
// all; lines end in CR LF, LF or CR; a line end after the last line adds no row. An
// unterminated quote is refused naming the line it opened on.
ReadError readCsv(std::string_view bytes, const CsvOptions& options, ReadList& out,
                  const ProgressCallback& progress = {});

// The delimiter of a UTF-8 text: the one of tab, semicolon, comma and bar that splits its first
// records into the same number of fields; comma when none does.
QString detectDelimiter(std::string_view text);

// True when the cells of `row` look like column names (Question, Answer, Front, Back, Term, ...)
// rather than an entry.
bool looksLikeHeader(const Sheet& sheet, int row);

// Sets whether the first row is the header row, as `choice` says or as looksLikeHeader
// judges, and the column names it gives.
void applyHeaderChoice(HeaderChoice choice, ReadList& out);

// Splits UTF-8 `text` into `sheet`: `delimiter` between fields, double quotes as in CSV when
// `quotes`; a record that begins with `comment` (when not 0) is a comment line, skipped and
// counted. Shared by the CSV and Anki readers.
ReadError splitDelimited(std::string_view text, std::string_view delimiter, bool quotes,
                         Sheet& sheet, const ProgressCallback& progress = {},
                         std::int64_t firstLine = 1, char comment = 0,
                         long long* commentLines = nullptr);

struct CsvWriteOptions {
    QString delimiter = QStringLiteral(",");
    bool byteOrderMark = false;
    bool headerRow = true; // Question, Answer, Comment: a reader knows the first row is no entry
};

// RFC 4180, a header row first: CR LF after every row, a field in quotes when it holds the
// delimiter, a quote, a line end or a blank at either end; UTF-8.
ExportResult writeCsv(const ExportRows& rows, const CsvWriteOptions& options = {});
// Appends one field to a CSV line, quoted when it needs to be (or always).
void appendCsvField(std::string& out, std::string_view utf8, std::string_view delimiter,
                    bool alwaysQuote = false);

// ---- Quizlet ----------------------------------------------------------------------------

struct QuizletOptions {
    QString termSeparator = QStringLiteral("\t"); // between term and definition
    QString rowSeparator = QStringLiteral("\n");  // "\n" stands for any line end
    TextEncoding encoding;
};

// Term and definition: the text of a row before the first term separator, and the rest.
ReadError readQuizlet(std::string_view bytes, const QuizletOptions& options, ReadList& out,
                      const ProgressCallback& progress = {});
// Term, separator, definition, row separator; a cell holding a separator is refused (the
// format has no quoting), and comments are left out with a note.
ExportResult writeQuizlet(const ExportRows& rows, const QuizletOptions& options = {});

} // namespace lexanta
