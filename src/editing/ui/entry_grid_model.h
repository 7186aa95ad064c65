#pragma once

#include "document/document.h"

#include <QAbstractTableModel>

#include <functional>

namespace lexanta {

// Shows the document's entries to a view: model row r is grid row r + 1 (row 0 is the
// header), model column c is grid column c + 1 (column 0 is the handle column). Cells are
// shown decoded with the code page of their column's field font and encoded back on edit.
// Inserts, removals and moves are reported where they happen; a whole-list rearrangement
// (sort, shuffle, clean-up) as a layout change that takes persistent indexes along with
// their entries; a replaced document as a reset. Edits go through the document, so each is
// an undo step.
class EntryGridModel : public QAbstractTableModel, public EntryTableObserver {
    Q_OBJECT

public:
    explicit EntryGridModel(Document& document, QObject* parent = nullptr);
    ~EntryGridModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    Document& document() { return document_; }
    const std::array<FieldFont, 3>& fieldFonts() const { return document_.header().fonts; }
    // The character set of grid column 1..3.
    int charsetOf(int column) const { return fieldFonts()[column - 1].charset; }
    // Typing into one cell during one visit is one undo step: the key names the visit.
    void setEditKey(std::function<quint64()> key) { editKey_ = std::move(key); }
    // Moves an entry (grid rows) or a field (grid columns 1..3), as a drag does.
    void moveEntry(int from, int to) { document_.moveEntry(from, to); }
    void moveField(int from, int to) { document_.moveField(from, to); }

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
    void refreshAll();

    Document& document_;
    std::function<quint64()> editKey_;
};

} // namespace lexanta
