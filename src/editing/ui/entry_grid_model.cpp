#include "editing/ui/entry_grid_model.h"

#include "platform/codepage.h"

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
    return parent.isValid() ? 0 : 3;
}

QVariant EntryGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const int column = index.column() + 1;
    return CodePage::forCharset(charsetOf(column))
        .decode(document_.entries().cell(column, index.row() + 1));
}

bool EntryGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int column = index.column() + 1;
    const int row = index.row() + 1;
    if (row >= document_.entries().rowCount())
        return false;
    const CodePage& page = CodePage::forCharset(charsetOf(column));
    const QString text = value.toString();
    if (page.decode(document_.entries().cell(column, row)) == text)
        return true; // unchanged: keep the bytes exactly
    EncodeResult encoded = page.encode(text);
    if (!encoded.ok()) {
        emit encodeRefused(column, row, encoded.unencodable);
        return false;
    }
    document_.setCell(column, row, encoded.bytes, editKey_ ? editKey_() : 0);
    emit cellEdited(column, row);
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
        return section >= 0 && section < 3 ? QString::fromLatin1(kHeaders[section]) : QString();
    }
    return QString();
}

void EntryGridModel::refreshAll() {
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 2));
    emit headerDataChanged(Qt::Horizontal, 0, 2);
}

void EntryGridModel::rowsAboutToBeInserted(int first, int count) {
    beginInsertRows({}, first - 1, first + count - 2);
}

void EntryGridModel::rowsInserted() {
    endInsertRows();
}

void EntryGridModel::rowsAboutToBeRemoved(int first, int count) {
    beginRemoveRows({}, first - 1, first + count - 2);
}

void EntryGridModel::rowsRemoved() {
    endRemoveRows();
}

void EntryGridModel::rowAboutToBeMoved(int from, int to) {
    // Qt names the place before which the row lands, counted before the move.
    const int source = from - 1;
    const int target = to > from ? to : to - 1;
    beginMoveRows({}, source, source, {}, target);
}

void EntryGridModel::rowMoved() {
    endMoveRows();
}

void EntryGridModel::rowsAboutToBePermuted(int, int) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

void EntryGridModel::rowsPermuted(int first, const std::vector<int>& newOrder) {
    const QModelIndexList persistent = persistentIndexList();
    if (!persistent.isEmpty()) {
        // Where each entry of the range went: the row that received it.
        std::vector<int> newRowOf(newOrder.size());
        for (std::size_t i = 0; i < newOrder.size(); ++i)
            newRowOf[static_cast<std::size_t>(newOrder[i] - first)] = first + static_cast<int>(i);
        QModelIndexList moved;
        moved.reserve(persistent.size());
        for (const QModelIndex& old : persistent) {
            const int row = old.row() + 1;
            const bool inside = row >= first && row < first + static_cast<int>(newOrder.size());
            moved << (inside
                          ? index(newRowOf[static_cast<std::size_t>(row - first)] - 1, old.column())
                          : old);
        }
        changePersistentIndexList(persistent, moved);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void EntryGridModel::rowsChanged(int first, int last) {
    first = std::max(first, 1);
    last = std::min(last, rowCount());
    if (first <= last)
        emit dataChanged(index(first - 1, 0), index(last - 1, 2));
}

void EntryGridModel::tableAboutToBeReplaced() {
    beginResetModel();
}

void EntryGridModel::tableReplaced() {
    endResetModel();
}

} // namespace lexanta
