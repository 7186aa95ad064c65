#pragma once

#include "core/vocab/vocabulary.h"

#include <functional>
#include <string>
#include <string_view>

namespace lexanta {

inline constexpr std::string_view kFormatLine = "Vocabulary Format 1";
// Header lines before the counter line of the current format (format line, 9 description
// lines, three 7-line font blocks).
inline constexpr int kHeaderLines = 31;

// Splits file bytes into lines the way a text-mode reader sees them: CR LF and LF end a
// line (CR LF reads as LF); a lone CR is an ordinary character. A line is never cut,
// however long. A line end after the last line adds no line.
class LineReader {
public:
    explicit LineReader(std::string_view data) : data_(data) {}

    // The next line without its line end; false at the end of the data.
    bool next(std::string& line);
    // Like next(), but also tells whether the line had a line end.
    bool next(std::string& line, bool& hadLineEnd);
    // The same as views into the data.
    bool next(std::string_view& line);
    bool next(std::string_view& line, bool& hadLineEnd);
    bool atEnd() const { return pos_ >= data_.size(); }
    void skip(int lines);
    std::size_t position() const { return pos_; }
    std::string_view remaining() const { return data_.substr(pos_); }

private:
    std::string_view data_;
    std::size_t pos_ = 0;
};

// Decimal integer at the start of a line: optional blanks, optional sign, digits; none gives 0.
long long leadingInteger(std::string_view line);

bool startsWithFormatLine(std::string_view data);

// False for a file without the format line whose first 64 KiB hold bytes no text file holds: a
// NUL, or lines most of which are longer than 4 KiB (a picture, a PDF, an archive). Such a file
// would load as an old-format vocabulary of junk, so the window asks first.
bool looksLikeVocabulary(std::string_view data);

// "too many entries: N, at most M": a file holds more entries than a table can take.
std::string tooManyEntriesMessage(unsigned long long entries, long long room);

// Reads a whole .lut file into `doc`, which the caller has reset (ClearGrid): description,
// layout names, font size (held to 6..24), the font attributes the file stores (face name cut
// to 31 characters, colour, styles, charset; point sizes are left alone), counter line,
// format flag and entries. An old-format file leaves the header as it was. Files that break
// the layout load as far as they go. The only failure is a file of more entries than a table
// holds: false, `error` (when given) says so, and `doc` is left as it was.
// The entries are read where they lie in `data`: the string&& and FileBytes&& forms keep the
// bytes as the table's buffer, the view form copies them there once. `progress` hears of the
// entry bytes gone through, of all of them.
bool readVocabulary(std::string&& data, Vocabulary& doc, std::string* error = nullptr,
                    const ProgressCallback& progress = {});
bool readVocabulary(FileBytes&& data, Vocabulary& doc, std::string* error = nullptr,
                    const ProgressCallback& progress = {});
bool readVocabulary(std::string_view data, Vocabulary& doc, std::string* error = nullptr,
                    const ProgressCallback& progress = {});

// Appends the entries of a vocabulary file after the last entry of `table`. A file whose
// first line is the format line skips its 32 header lines; any other file is taken as the
// old format (its entries begin after its first line). Returns the number of entries added;
// when they would not fit in the table nothing is added and `error` (when given) says why.
int mergeEntries(std::string_view data, EntryTable& table, std::string* error = nullptr,
                 const ProgressCallback& progress = {});

// Writer step 1: drops a trailing entry whose question and answer are empty (its comment
// is not looked at) unless it is the only entry. True when one was dropped.
bool dropTrailingBlankEntry(EntryTable& table);
bool hasTrailingBlankEntry(const EntryTable& table);

// The bytes of the file: with the header (lines 1 to 31) when withHeader, else the old
// format; CR LF between lines and none after the last. Does not drop the trailing blank entry.
// A field holding a line break would break the line layout, so each CR LF or lone LF in a
// field is written as one blank. An old-format file's first line is its counter line; one
// that would read back as the format line is written as "0", so the file stays old-format.
// Entries stored as the file held them are copied as whole blocks. `before` comes first (a
// header of the caller's own, so that the file is gathered once).
std::string serializeVocabulary(const Vocabulary& doc, bool withHeader,
                                std::string_view before = {});
// The same bytes handed to `write` a few megabytes at a time (long runs of blocks as they lie
// in the table), so that a save needs no second copy of the file in memory.
void writeVocabulary(const Vocabulary& doc, bool withHeader,
                     const std::function<void(std::string_view)>& write);

} // namespace lexanta
