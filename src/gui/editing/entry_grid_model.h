#pragma once

#include "document/document.h"

#include <QAbstractTableModel>

#include <array>
#include <functional>

namespace lexanta {

// Shows the document's entries to a view: model row r is entry r, model column c its field c
// (question, answer, comment). Cells are shown decoded with the code page of their field's
// font and encoded back on edit.
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

    // What a screen reader calls a cell: "Question 3" for the question of entry 3, with the
    // field names of the interface language. The accessible text of a cell adds its text.
    void setFieldNames(const std::array<QString, kShownFields>& names);
    QString cellName(int entry, int field) const;

    Document& document() { return document_; }
    const std::array<FieldFont, kShownFields>& fieldFonts() const {
        return document_.header().fonts;
    }
    // The character set of a field (model column).
    int charsetOf(int field) const { return fieldFonts()[field].charset; }
    // Typing into one cell during one visit is one undo step: the key names the visit.
    void setEditKey(std::function<quint64()> key) { editKey_ = std::move(key); }
    // Moves an entry (model rows) or a field (model columns), as a drag does.
    void moveEntry(int from, int to) { document_.moveEntry(from, to); }
    void moveField(int from, int to) { document_.moveField(from, to); }

    // EntryTableObserver
    void entriesAboutToBeInserted(int first, int count) override;
    void entriesInserted() override;
    void entriesAboutToBeRemoved(int first, int count) override;
    void entriesRemoved() override;
    void entryAboutToBeMoved(int from, int to) override;
    void entryMoved() override;
    void entriesAboutToBeReordered(int first, int count) override;
    void entriesReordered(int first, const std::vector<int>& newOrder) override;
    void entriesChanged(int first, int last) override;
    void tableAboutToBeReplaced() override;
    void tableReplaced() override;

private:
    void refreshAll();

    Document& document_;
    std::function<quint64()> editKey_;
    std::array<QString, kShownFields> fieldNames_{
        QStringLiteral("Question"), QStringLiteral("Answer"), QStringLiteral("Comment")};
};

} // namespace lexanta
