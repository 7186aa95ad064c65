#include "gui/editing/entry_grid_model.h"

#include "platform/codepage.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace lexanta {

EntryGridModel::EntryGridModel(Document& document, QObject* parent)
    : QAbstractTableModel(parent), document_(document) {
    document_.setEntryObserver(this);
    connect(&document_, &Document::headerChanged, this, &EntryGridModel::refreshAll);
}

EntryGridModel::~EntryGridModel() {
    document_.setEntryObserver(nullptr);
}

int EntryGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : document_.entries().entryCount();
}

int EntryGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kShownFields;
}

QVariant EntryGridModel::data(const QModelIndex& index, int role) const {
    if (index.isValid() && role == Qt::AccessibleTextRole)
        return cellName(index.row(), index.column()) + QStringLiteral(": ") +
               data(index, Qt::DisplayRole).toString();
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return CodePage::forCharset(charsetOf(index.column()))
        .decode(document_.entries().text(index.row(), index.column()));
}

bool EntryGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int entry = index.row();
    const int field = index.column();
    if (entry >= document_.entries().entryCount())
        return false;
    const CodePage& page = CodePage::forCharset(charsetOf(field));
    const QString text = value.toString();
    if (page.decode(document_.entries().text(entry, field)) == text)
        return true; // unchanged: keep the bytes exactly
    EncodeResult encoded = page.encode(text);
    if (!encoded.ok())
        return false; // the grid's validator told the user
    document_.setText(entry, field, encoded.bytes, editKey_ ? editKey_() : 0);
    return true;
}

Qt::ItemFlags EntryGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant EntryGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal) {
        static const char* const kHeaders[] = {"Questions", "Answers", "Comments"};
        return section >= 0 && section < kShownFields ? QString::fromLatin1(kHeaders[section])
                                                      : QString();
    }
    return QString();
}

void EntryGridModel::setFieldNames(const std::array<QString, kShownFields>& names) {
    fieldNames_ = names;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 2), {Qt::AccessibleTextRole});
}

QString EntryGridModel::cellName(int entry, int field) const {
    if (field < 0 || field >= kShownFields)
        return {};
    return fieldNames_[static_cast<std::size_t>(field)] + QLatin1Char(' ') +
           QString::number(entry + 1);
}

void EntryGridModel::refreshAll() {
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 2));
    emit headerDataChanged(Qt::Horizontal, 0, 2);
}

void EntryGridModel::entriesAboutToBeInserted(int first, int count) {
    beginInsertRows({}, first, first + count - 1);
}

void EntryGridModel::entriesInserted() {
    endInsertRows();
}

void EntryGridModel::entriesAboutToBeRemoved(int first, int count) {
    beginRemoveRows({}, first, first + count - 1);
}

void EntryGridModel::entriesRemoved() {
    endRemoveRows();
}

void EntryGridModel::entryAboutToBeMoved(int from, int to) {
    // Qt names the place before which the row lands, counted before the move.
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
}

void EntryGridModel::entryMoved() {
    endMoveRows();
}

void EntryGridModel::entriesAboutToBeReordered(int, int) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

void EntryGridModel::entriesReordered(int first, const std::vector<int>& newOrder) {
    const QModelIndexList persistent = persistentIndexList();
    if (!persistent.isEmpty()) {
        const auto size = static_cast<int>(newOrder.size());
        const auto inside = [&](int row) { return row >= first && row < first + size; };
        // The rows the persistent indexes stand on (the current cell, a selection's corners,
        // an editor: few), each with the row that received its entry. One pass over the new
        // order finds them; an inverse of the whole order, 40 MB at ten million rows, took
        // longer to write than the reorder itself.
        std::vector<std::pair<int, int>> rows; // (old row, new row)
        for (const QModelIndex& old : persistent)
            if (inside(old.row()))
                rows.emplace_back(old.row(), old.row());
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        if (!rows.empty()) {
            std::vector<std::uint64_t> wanted(static_cast<std::size_t>(size) / 64 + 1);
            for (const auto& [row, to] : rows)
                wanted[static_cast<std::size_t>(row - first) / 64] |= 1ull << ((row - first) % 64);
            for (int i = 0; i < size; ++i) {
                const auto old =
                    static_cast<std::size_t>(newOrder[static_cast<std::size_t>(i)] - first);
                if (wanted[old / 64] >> (old % 64) & 1u)
                    std::lower_bound(rows.begin(), rows.end(),
                                     std::pair(first + static_cast<int>(old), 0))
                        ->second = first + i;
            }
        }
        QModelIndexList moved;
        moved.reserve(persistent.size());
        for (const QModelIndex& old : persistent) {
            if (!inside(old.row())) {
                moved << old;
                continue;
            }
            const int to =
                std::lower_bound(rows.begin(), rows.end(), std::pair(old.row(), 0))->second;
            moved << index(to, old.column());
        }
        changePersistentIndexList(persistent, moved);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void EntryGridModel::entriesChanged(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    if (first <= last)
        emit dataChanged(index(first, 0), index(last, 2));
}

void EntryGridModel::tableAboutToBeReplaced() {
    beginResetModel();
}

void EntryGridModel::tableReplaced() {
    endResetModel();
}

} // namespace lexanta
