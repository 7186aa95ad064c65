#pragma once

// File > Export: tab-delimited text and an HTML page. The callers write the returned bytes
// with writeWholeFile, which reports a file that cannot be written by name and reason.

#include "core/vocab/entry_table.h"
#include "core/vocab/vocabulary.h"

#include <array>
#include <string>
#include <string_view>

namespace lexanta {

// Export formats, numbered as the filters of the export dialog (FilterIndex).
enum class ExportFormat : int { TabDelimited = 1, Html = 2 };

// Every entry (a trailing blank one included) as
// "question TAB answer TAB comment", lines separated by CR LF, none after the last line.
// The cells' bytes are written as they stand.
std::string exportTabDelimited(const EntryTable& table);
// The same lines with each column decoded with the code page of its field font's character
// set and written in UTF-8, for programs that read UTF-8 text.
std::string exportTabDelimitedUtf8(const EntryTable& table,
                                   const std::array<FieldFont, kShownFields>& fonts);

// The HTML page of the entries: the fixed 18-item layout, CR LF after every line. The page is
// UTF-8 (declared in its meta line): each column is decoded with the code page of its field
// font's character set, the title and the font face names with the system ANSI code page.
// &, <, > and " in the title, the cells and the face names are escaped. Every entry is
// written except a last one that is blank (question, answer and comment empty), which is the
// grid's input row below typed entries.
std::string exportHtml(const EntryTable& table, std::string_view title,
                       const std::array<FieldFont, kShownFields>& fonts);
std::string exportHtml(const Vocabulary& doc);

} // namespace lexanta
