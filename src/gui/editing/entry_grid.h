#pragma once

#include "core/vocab/entry.h"
#include "gui/editing/key_pairing.h"
#include "platform/font_description.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QPointer>

#include <cstdint>

#include <QTableView>

class QHeaderView;
class QLineEdit;

namespace lexanta {

class CodePageValidator;
class EntryGridModel;

// StringGrid1: the entry grid over an EntryGridModel. Grid coordinates are used in its
// interface: row 0 is the header row, column 0 the handle column, entries from (1, 1), so
// grid row r shows entry r - 1 and grid column c its field c - 1. The header row and handle
// column are the view's headers, and exist nowhere else; every cell, fixed ones
// included, is painted here (no selection highlight, no focus frame). The in-place editor
// is always shown on the current cell, in the grid's own font, and writes each change to
// the cell at once.
class EntryGrid : public QTableView {
    Q_OBJECT

public:
    static constexpr int kHandleWidth = 21;
    static constexpr int kColumnWidths[kShownFields] = {265, 252, 230};

    explicit EntryGrid(QWidget* parent = nullptr);

    void setEntryModel(EntryGridModel* model);
    EntryGridModel* entryModel() const;

    static constexpr int entryOfRow(int row) { return row - 1; }
    static constexpr int rowOfEntry(int entry) { return entry + 1; }
    static constexpr int fieldOfColumn(int column) { return column - 1; }
    static constexpr int columnOfField(int field) { return field + 1; }

    int row() const;
    int column() const;
    int rowCount() const;
    // The entry and field of the current cell.
    int currentEntry() const { return entryOfRow(row()); }
    int currentField() const { return fieldOfColumn(column()); }
    // Makes (column, row) the current cell; runs the selection handler like any move.
    void setCurrentCell(int column, int row);
    void setRow(int row) { setCurrentCell(column(), row); }
    void setColumn(int column) { setCurrentCell(column, row()); }
    // After a replaced document: the first cell is current, and the move to it runs the
    // selection handler only when the current cell was elsewhere before.
    void returnToFirstCell();
    // Every row, the header row and rows sized by hand included, gets this height.
    void setDefaultRowHeight(int pixels);
    int rowHeight(int row) const; // grid row; 0 is the header row
    // Scrolls so that `row` is the top visible row, as far as the grid scrolls.
    void setTopRow(int row);
    int topRow() const;

    // The grid's own font and its colour as the file stores it; the in-place editor shows it.
    void setGridFont(const QFont& font, std::int32_t color);
    std::int32_t gridColor() const { return gridColor_; }
    QLineEdit* inplaceEditor() const { return editor_; }

    // Moves row `from` to `to` (grid rows) with its height, as a drag by the handle does.
    void moveEntryRow(int from, int to);
    // Moves column `from` to `to` (grid columns 1..3) with its width, as a header drag does.
    void moveEntryColumn(int from, int to);

signals:
    // Before the current cell moves to (column, row), and on a click on any cell.
    void selectCell(int column, int row);
    // A key was released in the grid or its in-place editor.
    void keyReleased(int key, Qt::KeyboardModifiers modifiers);
    // Cells were painted (the window keeps the entry counter in step).
    void cellsPainted();
    // The user typed characters the column's code page cannot hold; the cell was kept.
    void editRefused(int column, int row, const QString& characters);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void changeEvent(QEvent* event) override;

public slots:
    void reset() override;

private:
    void holdCurrent();
    void holdFirstCell();
    void restoreCurrent();
    void placeEditor();
    void showGridColor();
    void leaveGrid(bool forward);
    void loadEditor(bool selectAll);
    void commitEditor(const QString& text);
    bool editorKeyPress(QKeyEvent* event);
    void columnDragged(int oldVisual, int newVisual);
    bool fixedLineEvent(QHeaderView* header, QEvent* event);

    QPointer<EntryGridModel> model_;
    QLineEdit* editor_ = nullptr;
    CodePageValidator* validator_ = nullptr;
    QFont headerFont_;
    std::int32_t gridColor_ = kColorWindowText;
    bool committing_ = false;
    KeyPairing keys_;
    bool restoringSections_ = false;
    int quiet_ = 0; // moves of the current cell that are no selection
    int heldCol_ = 1, heldRow_ = 1;
    bool resetHeld_ = false;
    QPoint resetFrom_{1, 1}; // the current cell before the document was replaced
    bool resizingAll_ = false;
    bool rowHeightsVary_ = false; // a row's border was dragged since all rows were sized
    // The header being sized by its inner line, and where on the line it was grabbed.
    QHeaderView* sizingHeader_ = nullptr;
    int grabOffset_ = 0;
};

} // namespace lexanta
