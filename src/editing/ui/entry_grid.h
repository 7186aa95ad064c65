#pragma once

#include <QTableView>

namespace lexanta {

class EntryGridModel;

// StringGrid1: the entry grid over an EntryGridModel. Grid coordinates are used in its
// interface: row 0 is the header row, column 0 the handle column, entries from (1, 1).
class EntryGrid : public QTableView {
    Q_OBJECT

public:
    explicit EntryGrid(QWidget* parent = nullptr);

    void setEntryModel(EntryGridModel* model);
    EntryGridModel* entryModel() const { return model_; }

    int Row() const;
    int Col() const;
    // Makes (column, row) the current cell; runs the selection handler like any move.
    void setCurrentCell(int column, int row);
    void setRow(int row) { setCurrentCell(Col(), row); }
    void setCol(int column) { setCurrentCell(column, Row()); }
    void setDefaultRowHeight(int pixels);
    // Scrolls so that `row` is the top visible row, as far as the grid scrolls.
    void setTopRow(int row);

signals:
    // Before the current cell moves to (column, row), and on a click on any cell.
    void selectCell(int column, int row);
    // A key was released in the grid or its in-place editor.
    void keyReleased(int key, Qt::KeyboardModifiers modifiers);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    QWidget* indexWidgetEditorHook();

private:
    EntryGridModel* model_ = nullptr;
};

} // namespace lexanta
