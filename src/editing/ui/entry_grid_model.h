#pragma once

#include "editing/entry_table.h"
#include "vocab/vocabulary.h"

#include <QAbstractTableModel>

#include <array>

namespace lexanta {

// Shows an EntryTable to a view: model row r is grid row r + 1 (row 0 is the header),
// model column c is grid column c + 1 (column 0 is the handle column). Cells are shown
// decoded with the code page of their column's field font and encoded back on edit.
//
// The grid is a grid of numbered rows, not of items: when the table inserts or removes
// rows anywhere, the view is told that rows were added or dropped at the end and that the
// rows from the change on now hold other entries. So the view's current cell keeps its row
// number, and only moves when the row count drops below it (to the new last row).
class EntryGridModel : public QAbstractTableModel, public EntryTableObserver {
    Q_OBJECT

public:
    EntryGridModel(EntryTable& table, const std::array<FieldFont, 3>& fonts,
                   QObject* parent = nullptr);
    ~EntryGridModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    EntryTable& table() { return table_; }
    const std::array<FieldFont, 3>& fieldFonts() const { return fonts_; }
    // The character set of grid column 1..3.
    int charsetOf(int column) const { return fonts_[column - 1].charset; }
    // Repaints every cell (fonts or code pages changed).
    void refreshAll();
    // Brings the view's row count in step with the table (after changes made while this
    // model was not the table's observer).
    void syncRowCount();

    // EntryTableObserver
    void rowsAboutToBeInserted(int first, int count) override;
    void rowsInserted() override;
    void rowsAboutToBeRemoved(int first, int count) override;
    void rowsRemoved() override;
    void rowAboutToBeMoved(int from, int to) override;
    void rowMoved() override;
    void rowsAboutToBePermuted(int first, int count) override;
    void rowsPermuted(int first, const std::vector<int>& newOrder) override;
    void rowsChanged(int first, int last) override;
    void tableAboutToBeReplaced() override;
    void tableReplaced() override;

signals:
    // A typed text held characters the column's code page cannot hold; the cell was kept.
    void encodeRefused(int column, int row, const QString& characters);
    // The user changed a cell in place.
    void cellEdited(int column, int row);

private:
    void changedFrom(int firstRow);

    EntryTable& table_;
    const std::array<FieldFont, 3>& fonts_;
    int shownRows_;         // entry rows the view knows of
    int pendingFirst_ = -1; // first grid row of a structural change in progress
    int pendingLast_ = -1;
};

} // namespace lexanta
