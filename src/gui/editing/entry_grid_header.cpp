#include "gui/editing/entry_grid_header.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <cstdlib>

namespace lexanta {

namespace {

// One of Qt's header's slots, found by its name.
QMetaMethod headerSlot(const char* signature) {
    const QMetaObject& meta = QHeaderView::staticMetaObject;
    const int index = meta.indexOfSlot(QMetaObject::normalizedSignature(signature).constData());
    return index < 0 ? QMetaMethod() : meta.method(index);
}

} // namespace

void EntryGridHeader::setModel(QAbstractItemModel* model) {
    disconnect(insertion_);
    disconnect(removal_);
    qtRemoval_ = QMetaMethod();
    QHeaderView::setModel(model);
    if (!model || orientation() != Qt::Vertical)
        return;
    // Qt connects the model's row signals to its own slots by name; each one found is taken
    // over. A Qt that names them otherwise keeps its own handling.
    const QMetaMethod inserted = QMetaMethod::fromSignal(&QAbstractItemModel::rowsInserted);
    const QMetaMethod removed = QMetaMethod::fromSignal(&QAbstractItemModel::rowsRemoved);
    const QMetaMethod qtInsertion = headerSlot("sectionsInserted(QModelIndex,int,int)");
    const QMetaMethod qtRemoval = headerSlot("_q_sectionsRemoved(QModelIndex,int,int)");
    if (qtInsertion.isValid() && disconnect(model, inserted, this, qtInsertion))
        insertion_ = connect(model, &QAbstractItemModel::rowsInserted, this,
                             &EntryGridHeader::rowsInsertedAnywhere);
    if (qtRemoval.isValid() && disconnect(model, removed, this, qtRemoval)) {
        qtRemoval_ = qtRemoval;
        removal_ = connect(model, &QAbstractItemModel::rowsRemoved, this,
                           &EntryGridHeader::rowsRemovedAnywhere);
    }
}

bool EntryGridHeader::rowsAlike() const {
    return rowsOfOneHeight && rowsOfOneHeight() && !sectionsMoved() && !sectionsHidden();
}

void EntryGridHeader::rowsInsertedAnywhere(const QModelIndex& parent, int first, int last) {
    if (rowsAlike() && parent == rootIndex()) {
        const int end = count();
        sectionsInserted(parent, end, end + last - first);
    } else {
        sectionsInserted(parent, first, last);
    }
}

void EntryGridHeader::rowsRemovedAnywhere(const QModelIndex& parent, int first, int last) {
    const int left = count() - (last - first + 1);
    if (rowsAlike() && parent == rootIndex() && 0 <= first && first <= last && last < count() &&
        left > 0) {
        initializeSections(0, left - 1); // takes the sections after `left` off the end
        return;
    }
    qtRemoval_.invoke(this, Qt::DirectConnection, Q_ARG(QModelIndex, parent), Q_ARG(int, first),
                      Q_ARG(int, last));
}

// ---- dragging a row by its handle (the handle column only) ----------------------------------

bool EntryGridHeader::onRowBorder(int y) const {
    // Where Qt's header sizes a row instead: within the grip margin of a row's border.
    const int row = logicalIndexAt(y);
    if (row < 0)
        return false;
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    const int top = sectionViewportPosition(row);
    return (y < top + grip && row > 0) || y > top + sectionSize(row) - grip;
}

int EntryGridHeader::dropTarget(int y) const {
    // As Qt's movable sections choose: past the middle of a row, the dragged row takes its place.
    const int row = logicalIndexAt(y);
    if (row < 0)
        return dropRow_;
    const int middle = sectionViewportPosition(row) + sectionSize(row) / 2;
    if (row < draggedRow_)
        return y < middle ? row : row + 1;
    if (row > draggedRow_)
        return y > middle ? row : row - 1;
    return draggedRow_;
}

void EntryGridHeader::showDraggedRow(int y) {
    if (!draggedLook_) {
        draggedLook_ = new QLabel(viewport());
        const int height = sectionSize(draggedRow_);
        QPixmap look(QSize(viewport()->width(), height) * devicePixelRatio());
        look.setDevicePixelRatio(devicePixelRatio());
        look.fill(QColor(0, 0, 0, 45));
        QPainter painter(&look);
        painter.setOpacity(0.75);
        paintSection(&painter, QRect(0, 0, viewport()->width(), height), draggedRow_);
        painter.end();
        draggedLook_->setPixmap(look);
        draggedLook_->resize(viewport()->width(), height);
        grabOffset_ = pressY_ - std::max(sectionViewportPosition(draggedRow_), 0);
    }
    draggedLook_->move(0, y - grabOffset_);
    draggedLook_->show();
}

void EntryGridHeader::mousePressEvent(QMouseEvent* event) {
    QHeaderView::mousePressEvent(event);
    const int y = event->position().toPoint().y();
    if (orientation() == Qt::Vertical && event->button() == Qt::LeftButton && !onRowBorder(y)) {
        draggedRow_ = dropRow_ = logicalIndexAt(y);
        pressY_ = y;
    }
}

void EntryGridHeader::mouseMoveEvent(QMouseEvent* event) {
    const int y = event->position().toPoint().y();
    if (draggedRow_ < 0 || !(event->buttons() & Qt::LeftButton)) {
        QHeaderView::mouseMoveEvent(event);
        return;
    }
    // Above the handles, as in Qt's header, the drag stays where it was.
    if (y < 0 || (!draggedLook_ && std::abs(y - pressY_) < QApplication::startDragDistance()))
        return;
    dropRow_ = dropTarget(y);
    showDraggedRow(y);
}

void EntryGridHeader::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QHeaderView::mouseReleaseEvent(event);
        return;
    }
    const int from = draggedRow_, to = dropRow_;
    const bool dragged = draggedLook_ != nullptr;
    draggedRow_ = dropRow_ = -1;
    delete draggedLook_;
    draggedLook_ = nullptr;
    QHeaderView::mouseReleaseEvent(event);
    if (dragged && from >= 0 && to >= 0 && from != to && onRowDragged)
        onRowDragged(from, to);
}

void EntryGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    painter->save();
    painter->setClipRect(rect);
    painter->fillRect(rect, palette().color(QPalette::Button));
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    if (orientation() == Qt::Horizontal && model()) {
        painter->setFont(font());
        painter->setPen(palette().color(QPalette::ButtonText));
        const QString text =
            model()->headerData(logicalIndex, Qt::Horizontal, Qt::DisplayRole).toString();
        painter->drawText(QRect(rect.left() + 10, rect.top() + 2, rect.width(), rect.height()),
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }
    painter->restore();
}

void EntryGridHeader::paintEvent(QPaintEvent* event) {
    QHeaderView::paintEvent(event);
    if (onPainted)
        onPainted();
}

} // namespace lexanta
