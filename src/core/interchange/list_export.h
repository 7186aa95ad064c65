#pragma once

// A vocabulary seen as rows of Unicode cells for the list writers: each field decoded with its
// font's code page, the description with the system's.

#include "core/interchange/sheet.h"
#include "core/vocab/vocabulary.h"

#include <QString>

#include <array>
#include <string>

namespace lexanta {

class CodePage;

// The names a written list gives its three columns.
const std::array<QString, 3>& fieldColumnNames();

class ExportRows {
public:
    explicit ExportRows(const Vocabulary& vocabulary);

    // Every entry but a blank last one (the grid's input row below typed entries).
    int rowCount() const { return rows_; }
    // Field kQuestion, kAnswer or kComment of row `row`, as UTF-8.
    std::string cell(int row, int field) const;
    const ListDescription& description() const { return description_; }
    // True when some row has a comment (formats that hold two fields say they left it out).
    bool hasComments() const;

private:
    const EntryTable& entries_;
    std::array<const CodePage*, 3> pages_;
    int rows_;
    ListDescription description_;
};

// What a list writer made: the file's bytes, or why it could not be written (one line naming
// the entry and the reason), and notes on what the format could not carry.
struct ExportResult {
    std::string bytes;
    QString error;
    QStringList notes;
    bool ok() const { return error.isEmpty(); }
};

// "entry 12, answer" for messages (entries counted from 1).
QString entryPlace(int row, int field);

} // namespace lexanta
