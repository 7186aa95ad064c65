#pragma once

// Spreadsheets: OpenDocument (.ods) and Office Open XML (.xlsx). One sheet is read, its cells
// as the text the spreadsheet shows (numbers and dates formatted), repeated and skipped rows and
// columns filled in, empty trailing rows and columns left out. Writing gives one sheet: a header
// row with the field names, the entries, and the description in the document properties.

#include "core/interchange/list_export.h"
#include "core/interchange/sheet.h"
#include "core/vocab/entry_table.h"

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexanta {

enum class SpreadsheetKind { Ods, Xlsx };

// A sheet has at most this many columns and rows; a cell past them is refused.
inline constexpr int kMaxSheetColumns = 16384;
inline constexpr std::int64_t kMaxSheetRows = std::int64_t(1) << 24;

// `sheet`: a sheet's name, or its number from 1; empty for the first.
ReadError readSpreadsheet(SpreadsheetKind kind, std::string_view bytes, const QString& sheet,
                          ReadList& out, const ProgressCallback& progress = {});
ExportResult writeSpreadsheet(SpreadsheetKind kind, const ExportRows& rows);

ReadError readOds(std::string_view bytes, const QString& sheet, ReadList& out,
                  const ProgressCallback& progress);
ExportResult writeOds(const ExportRows& rows);
ReadError readXlsx(std::string_view bytes, const QString& sheet, ReadList& out,
                   const ProgressCallback& progress);
ExportResult writeXlsx(const ExportRows& rows);

// Which of `names` `wanted` picks (a name first, then a number from 1); -1 when none.
int pickSheet(const QStringList& names, const QString& wanted);

// Builds a sheet's rows from cells that come with their places, filling gaps with empty cells
// and rows only where something follows them.
class SheetBuilder {
public:
    explicit SheetBuilder(Sheet& sheet) : sheet_(sheet) {}

    // Starts the row at `place` (from 1; after the rows before it); refuses rows past the last.
    ReadError beginRow(std::int64_t place);
    // Cell `column` (from 0, at or after the cells before it) of the row, `repeat` times.
    ReadError addCell(int column, std::string_view utf8, int repeat = 1);
    // Ends the row; it stands for `repeat` rows.
    ReadError endRow(std::int64_t repeat = 1);
    std::int64_t nextPlace() const { return nextPlace_; }
    int nextColumn() const { return static_cast<int>(cells_.size()) + pendingCells_; }

private:
    Sheet& sheet_;
    std::vector<std::string> cells_;
    int pendingCells_ = 0;   // empty cells not yet added: only a later cell makes them count
    std::int64_t place_ = 0; // the row being built
    std::int64_t nextPlace_ = 1;
    std::int64_t emptyFrom_ = 0, emptyRows_ = 0; // empty rows not yet added
};

} // namespace lexanta
