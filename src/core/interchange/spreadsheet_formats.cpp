#include "core/interchange/spreadsheet_formats.h"

#include <algorithm>

namespace lexanta {

ReadError readSpreadsheet(SpreadsheetKind kind, std::string_view bytes, const QString& sheet,
                          ReadList& out, const ProgressCallback& progress) {
    return kind == SpreadsheetKind::Ods ? readOds(bytes, sheet, out, progress)
                                        : readXlsx(bytes, sheet, out, progress);
}

ExportResult writeSpreadsheet(SpreadsheetKind kind, const ExportRows& rows) {
    return kind == SpreadsheetKind::Ods ? writeOds(rows) : writeXlsx(rows);
}

int pickSheet(const QStringList& names, const QString& wanted) {
    if (wanted.isEmpty())
        return names.isEmpty() ? -1 : 0;
    if (const qsizetype i = names.indexOf(wanted); i >= 0)
        return static_cast<int>(i);
    bool number = false;
    const int n = wanted.toInt(&number);
    return number && n >= 1 && n <= names.size() ? n - 1 : -1;
}

ReadError SheetBuilder::beginRow(std::int64_t place) {
    if (place < nextPlace_)
        place = nextPlace_;
    if (place > kMaxSheetRows)
        return {QStringLiteral("row %1").arg(place),
                QStringLiteral("past the last row a sheet can have (%1)").arg(kMaxSheetRows)};
    // Rows skipped are empty.
    if (place > nextPlace_) {
        if (emptyRows_ == 0)
            emptyFrom_ = nextPlace_;
        emptyRows_ += place - nextPlace_;
    }
    place_ = place;
    cells_.clear();
    pendingCells_ = 0;
    return {};
}

ReadError SheetBuilder::addCell(int column, std::string_view utf8, int repeat) {
    const int at = std::max(column, nextColumn());
    if (utf8.empty()) {
        // Empty columns past the last a sheet has count as that many: only content is refused.
        const std::int64_t end =
            std::min<std::int64_t>(std::int64_t(at) + repeat, kMaxSheetColumns + 1);
        pendingCells_ = static_cast<int>(end) - static_cast<int>(cells_.size());
        return {};
    }
    if (static_cast<std::int64_t>(at) + repeat > kMaxSheetColumns)
        return {QStringLiteral("cell %1%2")
                    .arg(columnLetters(std::min(at, kMaxSheetColumns)))
                    .arg(place_),
                QStringLiteral("past the last column a sheet can have (%1)").arg(kMaxSheetColumns)};
    cells_.resize(static_cast<std::size_t>(at));
    for (int i = 0; i < repeat; ++i)
        cells_.emplace_back(utf8);
    pendingCells_ = 0;
    return {};
}

ReadError SheetBuilder::endRow(std::int64_t repeat) {
    if (repeat < 1)
        repeat = 1;
    if (place_ + repeat - 1 > kMaxSheetRows)
        return {QStringLiteral("row %1").arg(place_),
                QStringLiteral("past the last row a sheet can have (%1)").arg(kMaxSheetRows)};
    nextPlace_ = place_ + repeat;
    if (cells_.empty()) {
        if (emptyRows_ == 0)
            emptyFrom_ = place_;
        emptyRows_ += repeat;
        return {};
    }
    if (static_cast<std::int64_t>(sheet_.rowCount()) + emptyRows_ + repeat >
        EntryTable::kMaxEntries)
        return {
            QStringLiteral("row %1").arg(place_),
            QStringLiteral("more rows than a vocabulary holds (%1)").arg(EntryTable::kMaxEntries)};
    for (std::int64_t i = 0; i < emptyRows_; ++i)
        sheet_.endRow(emptyFrom_ + i);
    emptyRows_ = 0;
    for (std::int64_t i = 0; i < repeat; ++i) {
        for (const std::string& c : cells_)
            sheet_.addCell(c);
        sheet_.endRow(place_ + i);
    }
    return {};
}

} // namespace lexanta
