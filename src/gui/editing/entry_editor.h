#pragma once

// Entry editing: the grid's selection and keys, the input line with its Add Words and
// Edit Words modes, and deletion.

#include "core/vocab/entry.h"

#include <QObject>

#include <array>
#include <functional>

class QAction;
class QActionGroup;
class QWidget;

namespace lexanta {

class ComboEdit;
class Document;
class EntryGrid;

class EntryEditor : public QObject {
    Q_OBJECT

public:
    EntryEditor(Document& document, EntryGrid* grid,
                const std::array<ComboEdit*, kShownFields>& boxes,
                std::function<void(const QString&)> showStatus, QObject* parent = nullptr);

    // Edit Words (checked while editing existing entries) and Add Words, one of them checked.
    QAction* editWordsAction() const { return editWords_; }
    QAction* addWordsAction() const { return addWords_; }
    QAction* deleteAction() const { return delete_; }

    bool isEditMode() const { return editMode_; }
    EntryGrid* grid() const { return grid_; }
    ComboEdit* box(int field) const { return boxes_[static_cast<std::size_t>(field)]; }

    void editWords();
    void addWords();
    // Deletes entry `entry`; only in Edit Words mode, never the last one.
    void deleteEntry(int entry);
    void insertBlankRowBelow();
    void insertEntryFromInputLine();
    void loadBoxesFrom(int entry);
    // After a new document: current cell (1, 1), empty boxes.
    void resetView();
    // Tells the user that a typed text held characters the field's script cannot hold.
    void reportUnencodable(QWidget* where, int field, const QString& characters);

signals:
    // A cell of field 0..2 was selected (the field fonts and layouts follow).
    void fieldSelected(int field);

private:
    void selectCell(int column, int row);
    void gridKeyUp(int key, Qt::KeyboardModifiers modifiers);
    void boxKeyUp(int key);
    void writeBoxesTo(int entry);
    bool boxesStale(int entry) const;
    void followDocument();
    quint64 newVisit() { return ++visit_; }

    Document& document_;
    EntryGrid* grid_;
    std::array<ComboEdit*, kShownFields> boxes_;
    std::function<void(const QString&)> showStatus_;
    QActionGroup* modes_;
    QAction* editWords_;
    QAction* addWords_;
    QAction* delete_;
    bool editMode_ = false;
    bool writingBack_ = false;
    // Each visit of a cell or a row is one undo step per field typed into.
    quint64 visit_ = 0;
};

} // namespace lexanta
