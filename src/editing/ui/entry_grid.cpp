#include "editing/ui/entry_grid.h"

#include "editing/ui/entry_grid_model.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace lexanta {

EntryGrid::EntryGrid(QWidget* parent) : QTableView(parent) {
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setTabKeyNavigation(true);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setFixedWidth(21);
    verticalHeader()->setMinimumSectionSize(1);
    setDefaultRowHeight(20);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

void EntryGrid::setEntryModel(EntryGridModel* model) {
    model_ = model;
    setModel(model);
    setColumnWidth(0, 265);
    setColumnWidth(1, 252);
    setColumnWidth(2, 230);
}

int EntryGrid::Row() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 1;
}

int EntryGrid::Col() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() + 1 : 1;
}

void EntryGrid::setCurrentCell(int column, int row) {
    if (!model_)
        return;
    row = std::clamp(row, 1, model_->rowCount());
    column = std::clamp(column, 1, 3);
    setCurrentIndex(model_->index(row - 1, column - 1));
}

void EntryGrid::setDefaultRowHeight(int pixels) {
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(pixels);
    horizontalHeader()->setFixedHeight(pixels);
}

void EntryGrid::setTopRow(int row) {
    verticalScrollBar()->setValue(row - 1);
}

void EntryGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (current.isValid())
        emit selectCell(current.column() + 1, current.row() + 1);
    QTableView::currentChanged(current, previous);
}

void EntryGrid::keyReleaseEvent(QKeyEvent* event) {
    emit keyReleased(event->key(), event->modifiers());
    QTableView::keyReleaseEvent(event);
}

void EntryGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex hit = indexAt(event->position().toPoint());
    const bool same = hit.isValid() && hit == currentIndex();
    QTableView::mousePressEvent(event);
    if (same)
        emit selectCell(hit.column() + 1, hit.row() + 1);
}

bool EntryGrid::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease && watched != this) {
        auto* key = static_cast<QKeyEvent*>(event);
        emit keyReleased(key->key(), key->modifiers());
    }
    return QTableView::eventFilter(watched, event);
}

QWidget* EntryGrid::indexWidgetEditorHook() { return nullptr; }

} // namespace lexanta
