#include "core/interchange/sheet.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace lexanta {

namespace {

// Bytes UTF-8 never holds: one ends a cell inside a row.
constexpr char kCellEnd = '\xFF';

} // namespace

void Sheet::addCell(std::string_view utf8) {
    if (cellsInRow_ > 0)
        text_ += kCellEnd;
    text_.append(utf8);
    ++cellsInRow_;
}

void Sheet::endRow(std::int64_t place) {
    // A row's cells run up to the next row's start; an empty row holds one empty cell.
    rowStart_.push_back(pendingStart_);
    rowPlace_.push_back(static_cast<std::uint32_t>(std::clamp<std::int64_t>(place, 0, UINT32_MAX)));
    columns_ = std::max(columns_, static_cast<int>(std::max<std::uint64_t>(cellsInRow_, 1)));
    cellsInRow_ = 0;
    pendingStart_ = text_.size();
}

void Sheet::truncate(int row) {
    if (row < 0 || row >= rowCount())
        return;
    text_.resize(rowStart_[static_cast<std::size_t>(row)]);
    rowStart_.resize(static_cast<std::size_t>(row));
    rowPlace_.resize(static_cast<std::size_t>(row));
    cellsInRow_ = 0;
    pendingStart_ = text_.size();
    columns_ = 0;
    for (int r = 0; r < rowCount(); ++r)
        columns_ = std::max(columns_, cellCount(r));
}

void Sheet::reserve(std::size_t bytes, std::size_t rows) {
    text_.reserve(bytes);
    rowStart_.reserve(rows);
    rowPlace_.reserve(rows);
}

std::string_view Sheet::rowText(int row) const {
    const auto r = static_cast<std::size_t>(row);
    const std::uint64_t begin = rowStart_[r];
    const std::uint64_t end = r + 1 < rowStart_.size() ? rowStart_[r + 1] : pendingStart_;
    return std::string_view(text_).substr(begin, end - begin);
}

int Sheet::cellCount(int row) const {
    if (row < 0 || row >= rowCount())
        return 0;
    const std::string_view text = rowText(row);
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), kCellEnd));
}

std::string_view Sheet::cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0)
        return {};
    std::string_view text = rowText(row);
    for (int c = 0; c < column; ++c) {
        const std::size_t end = text.find(kCellEnd);
        if (end == std::string_view::npos)
            return {};
        text.remove_prefix(end + 1);
    }
    return text.substr(0, text.find(kCellEnd));
}

void Sheet::cells(int row, std::vector<std::string_view>& out) const {
    out.clear();
    if (row < 0 || row >= rowCount())
        return;
    std::string_view text = rowText(row);
    for (;;) {
        const void* end = std::memchr(text.data(), kCellEnd, text.size());
        if (!end) {
            out.push_back(text);
            return;
        }
        const auto length = static_cast<std::size_t>(static_cast<const char*>(end) - text.data());
        out.push_back(text.substr(0, length));
        text.remove_prefix(length + 1);
    }
}

QString Sheet::where(int row, int column) const {
    const long long p = row >= 0 && row < rowCount() ? place(row) : 0;
    if (places_ == Places::Lines)
        return QStringLiteral("line %1").arg(p);
    if (places_ == Places::Notes)
        return QStringLiteral("note %1").arg(p);
    if (column < 0)
        return QStringLiteral("row %1").arg(p);
    return QStringLiteral("cell %1%2").arg(columnLetters(column)).arg(p);
}

QString columnLetters(int column) {
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QLatin1Char(static_cast<char>('A' + (c - 1) % 26)));
    return letters;
}

QString ReadError::message(const QString& fileName) const {
    if (where.isEmpty())
        return QStringLiteral("cannot read %1: %2").arg(fileName, reason);
    return QStringLiteral("cannot read %1: %2: %3").arg(fileName, where, reason);
}

} // namespace lexanta
