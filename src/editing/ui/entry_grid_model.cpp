#include "editing/ui/entry_grid_model.h"

#include "platform/codepage.h"

namespace lexanta {

EntryGridModel::EntryGridModel(EntryTable& table, const std::array<FieldFont, 3>& fonts,
                               QObject* parent)
    : QAbstractTableModel(parent), table_(table), fonts_(fonts), shownRows_(table.rowCount() - 1) {
    table_.setObserver(this);
}

EntryGridModel::~EntryGridModel() {
    if (table_.observer() == this)
        table_.setObserver(nullptr);
}

int EntryGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int EntryGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant EntryGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const int column = index.column() + 1;
    return CodePage::forCharset(charsetOf(column)).decode(table_.cell(column, index.row() + 1));
}

bool EntryGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int column = index.column() + 1;
    const int row = index.row() + 1;
    if (row >= table_.rowCount())
        return false;
    const CodePage& page = CodePage::forCharset(charsetOf(column));
    const QString text = value.toString();
    if (page.decode(table_.cell(column, row)) == text)
        return true; // unchanged: keep the bytes exactly
    EncodeResult encoded = page.encode(text);
    if (!encoded.ok()) {
        emit encodeRefused(column, row, encoded.unencodable);
        return false;
    }
    table_.setCell(column, row, std::move(encoded.bytes));
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
    syncRowCount();
    if (shownRows_ > 0)
        emit dataChanged(index(0, 0), index(shownRows_ - 1, 2));
    emit headerDataChanged(Qt::Horizontal, 0, 2);
}

void EntryGridModel::syncRowCount() {
    const int rows = table_.rowCount() - 1;
    if (rows > shownRows_) {
        beginInsertRows({}, shownRows_, rows - 1);
        shownRows_ = rows;
        endInsertRows();
    } else if (rows < shownRows_) {
        // A current cell below the new end moves to the new last row here, and the view
        // reports that move; the table already holds its new rows by then.
        beginRemoveRows({}, rows, shownRows_ - 1);
        shownRows_ = rows;
        endRemoveRows();
    }
}

void EntryGridModel::changedFrom(int firstRow) {
    firstRow = std::max(firstRow, 1);
    if (firstRow - 1 < shownRows_)
        emit dataChanged(index(firstRow - 1, 0), index(shownRows_ - 1, 2));
}

void EntryGridModel::rowsAboutToBeInserted(int first, int count) {
    (void)count;
    pendingFirst_ = first;
}

void EntryGridModel::rowsInserted() {
    syncRowCount();
    changedFrom(pendingFirst_);
    pendingFirst_ = -1;
}

void EntryGridModel::rowsAboutToBeRemoved(int first, int count) {
    (void)count;
    pendingFirst_ = first;
}

void EntryGridModel::rowsRemoved() {
    syncRowCount();
    changedFrom(pendingFirst_);
    pendingFirst_ = -1;
}

void EntryGridModel::rowsChanged(int first, int last) {
    syncRowCount();
    first = std::max(first, 1);
    last = std::min(last, shownRows_);
    if (first <= last)
        emit dataChanged(index(first - 1, 0), index(last - 1, 2));
}

} // namespace lexanta

namespace lexanta {

void EntryGridModel::rowAboutToBeMoved(int from, int to) {
    pendingFirst_ = std::min(from, to);
    pendingLast_ = std::max(from, to);
}

void EntryGridModel::rowMoved() {
    rowsChanged(pendingFirst_, pendingLast_);
    pendingFirst_ = -1;
}

void EntryGridModel::rowsAboutToBePermuted(int, int) {}

void EntryGridModel::rowsPermuted(int first, const std::vector<int>& newOrder) {
    rowsChanged(first, first + static_cast<int>(newOrder.size()) - 1);
}

void EntryGridModel::tableAboutToBeReplaced() {}

void EntryGridModel::tableReplaced() {
    refreshAll();
}

} // namespace lexanta
