#pragma once

// The shape every list reader produces and every list writer takes: rows of Unicode cells
// (UTF-8), where each row came from, the description the file carries, and what the reader
// had to change on the way.

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexanta {

// Rows of cells, kept compact: one buffer holds every cell's UTF-8 text, cells separated by a
// byte that UTF-8 never holds, and each row is its offset there and the place it came from.
class Sheet {
public:
    // How places are named in messages: lines of a text file, rows of a spreadsheet, notes of
    // an Anki collection.
    enum class Places { Lines, SheetRows, Notes };

    Sheet() = default;
    explicit Sheet(Places places) : places_(places) {}

    // `utf8` must be valid UTF-8. Cells go to the row being built.
    void addCell(std::string_view utf8);
    // Ends the row being built; `place` is the line where it began or its row in the sheet,
    // counted from 1.
    void endRow(std::int64_t place);
    // Drops the rows from `row` on.
    void truncate(int row);
    void reserve(std::size_t bytes, std::size_t rows);

    int rowCount() const { return static_cast<int>(rowStart_.size()); }
    int cellCount(int row) const;
    // Empty outside the row's cells.
    std::string_view cell(int row, int column) const;
    // The cells of a row, in order, into `out` (cleared first).
    void cells(int row, std::vector<std::string_view>& out) const;
    std::int64_t place(int row) const { return rowPlace_[static_cast<std::size_t>(row)]; }
    // The largest number of cells in a row.
    int columnCount() const { return columns_; }
    Places places() const { return places_; }
    // "line 12", "note 12", or "row 12" / "cell B12" (column from 0; -1 names the row).
    QString where(int row, int column = -1) const;
    std::size_t textBytes() const { return text_.size(); }

private:
    std::string_view rowText(int row) const;

    Places places_ = Places::Lines;
    std::string text_;
    std::vector<std::uint64_t> rowStart_;
    std::vector<std::uint32_t> rowPlace_; // places past 2^32 - 1 are kept as that
    std::uint64_t pendingStart_ = 0;      // where the row being built begins
    std::uint64_t cellsInRow_ = 0;        // cells added to the row being built
    int columns_ = 0;
};

// A spreadsheet's column letters: 0 -> "A", 26 -> "AA".
QString columnLetters(int column);

// The description a list file carries; empty texts where it carries none.
struct ListDescription {
    QString questionsLanguage;
    QString answersLanguage;
    QString title;
    QString author;
    QString date;
    bool operator==(const ListDescription&) const = default;
};

// What was changed between the file and the entries, for the import report.
struct ImportNotes {
    long long lineBreaks = 0;   // cells whose line breaks became blanks
    long long htmlCells = 0;    // cells whose markup was removed
    long long mediaDropped = 0; // images and sounds left out
    long long rowsLeftOut = 0;  // rows the user chose to leave out
    QStringList other;          // anything else, one sentence each
    bool operator==(const ImportNotes&) const = default;
};

// A file read into rows.
struct ReadList {
    Sheet sheet;
    ListDescription description;
    // Names a header row gives the columns (none when the file has no header row).
    QStringList columnNames;
    // Whether the first row of `sheet` is the header row (detected or as asked).
    bool firstRowIsHeader = false;
    // Spreadsheets: the names of the sheets, the one read among them.
    QStringList sheetNames;
    int sheetIndex = 0;
    // The columns of the question, answer and comment the file suggests (from 0, -1 for none):
    // Anki's first three note fields, KVTML's translations and note; else the first three.
    std::array<int, 3> suggestedColumns{0, 1, 2};
    // KVTML: the identifiers (languages) of the file.
    QStringList languages;
    ImportNotes notes;
};

// A reader's refusal: where (empty for the whole file) and why.
struct ReadError {
    QString where;
    QString reason;
    bool isError() const { return !reason.isEmpty(); }
    // "cannot read FILE: WHERE: REASON", one line.
    QString message(const QString& fileName) const;
};

} // namespace lexanta
