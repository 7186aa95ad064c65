#pragma once

// The entry grid's fixed cells: the header row and the handle column.

#include <QHeaderView>
#include <QLabel>
#include <QMetaMethod>

#include <functional>

namespace lexanta {

// Fixed cells: button face with lines at their right and bottom; header texts at
// (left + 10, top + 2) in the header font.
//
// As the handle column it keeps up with inserted and removed rows itself while all rows are
// alike (one height, none hidden or moved): a row inserted or removed anywhere then changes it
// as a row added or taken at its end. Qt's own way moves its list of sections and asks each
// of them whether it is hidden, 10 to 30 ms at ten million rows. For the same reason it lets
// a row be dragged by its handle itself: Qt's movable sections would keep a map of all rows'
// places from the first drag on.
class EntryGridHeader : public QHeaderView {
public:
    EntryGridHeader(Qt::Orientation orientation, QWidget* parent)
        : QHeaderView(orientation, parent) {}

    std::function<void()> onPainted;
    // A row dragged by its handle from one place to another (section numbers).
    std::function<void(int from, int to)> onRowDragged;
    // Whether every row has the default height; the grid knows when a row's border was dragged.
    std::function<bool()> rowsOfOneHeight;

    void setModel(QAbstractItemModel* model) override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool rowsAlike() const;
    void rowsInsertedAnywhere(const QModelIndex& parent, int first, int last);
    void rowsRemovedAnywhere(const QModelIndex& parent, int first, int last);
    bool onRowBorder(int y) const;
    int dropTarget(int y) const;
    void showDraggedRow(int y);

    QMetaObject::Connection insertion_, removal_;
    int draggedRow_ = -1; // the section pressed on its handle, while the button is down
    int dropRow_ = -1;
    int pressY_ = 0, grabOffset_ = 0;
    QLabel* draggedLook_ = nullptr;
    QMetaMethod qtRemoval_; // Qt's own handling of removed rows, for rows that are not alike
};

} // namespace lexanta
