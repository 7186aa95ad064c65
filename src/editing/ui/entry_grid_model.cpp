#include "editing/ui/entry_grid_model.h"

#include "platform/codepage.h"

namespace lexanta {

EntryGridModel::EntryGridModel(EntryTable& table, const std::array<FieldFont, 3>& fonts,
                               QObject* parent)
    : QAbstractTableModel(parent), table_(table), fonts_(fonts) {
    table_.setObserver(this);
}

EntryGridModel::~EntryGridModel() {
    if (table_.observer() == this)
        table_.setObserver(nullptr);
}

int EntryGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.rowCount() - 1;
}

int EntryGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant EntryGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        const int column = index.column() + 1;
        return CodePage::forCharset(fonts_[index.column()].charset)
            .decode(table_.cell(column, index.row() + 1));
    }
    return {};
}

bool EntryGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int column = index.column() + 1;
    const int row = index.row() + 1;
    const CodePage& page = CodePage::forCharset(fonts_[index.column()].charset);
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
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 2));
    emit headerDataChanged(Qt::Horizontal, 0, 2);
}

void EntryGridModel::rowsAboutToBeInserted(int first, int count) {
    beginInsertRows({}, first - 1, first - 1 + count - 1);
}

void EntryGridModel::rowsInserted() { endInsertRows(); }

void EntryGridModel::rowsAboutToBeRemoved(int first, int count) {
    beginRemoveRows({}, first - 1, first - 1 + count - 1);
}

void EntryGridModel::rowsRemoved() { endRemoveRows(); }

void EntryGridModel::rowsChanged(int first, int last) {
    first = std::max(first, 1);
    if (first > last)
        return;
    emit dataChanged(index(first - 1, 0), index(last - 1, 2));
}

} // namespace lexanta
