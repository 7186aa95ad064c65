#include "gui/editing/entry_grid.h"

#include "gui/editing/entry_grid_header.h"
#include "gui/editing/entry_grid_model.h"
#include "gui/editing/entry_grid_painting.h"
#include "gui/widgets/code_page_validator.h"
#include "gui/widgets/display_colors.h"
#include "gui/widgets/field_fonts.h"
#include "gui/widgets/line_edit_limits.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include <algorithm>
#include <functional>
#include <vector>

namespace lexanta {

namespace {

constexpr int kDefaultRowHeight = 20;

// Where the entry at `cur` stands after the entry at `from` moved to `to`.
int followMove(int cur, int from, int to) {
    if (cur == from)
        return to;
    if (from < to && cur > from && cur <= to)
        return cur - 1;
    if (to < from && cur >= to && cur < from)
        return cur + 1;
    return cur;
}

} // namespace

EntryGrid::EntryGrid(QWidget* parent) : QTableView(parent) {
    // Every attribute is set, so none is inherited from the grid's own font, which follows
    // the selected column.
    headerFont_ = QFont(QStringLiteral("MS Sans Serif"));
    headerFont_.setPointSize(10);
    headerFont_.setWeight(QFont::Normal);
    headerFont_.setItalic(false);
    headerFont_.setUnderline(false);
    headerFont_.setStrikeOut(false);

    auto* top = new EntryGridHeader(Qt::Horizontal, this);
    auto* side = new EntryGridHeader(Qt::Vertical, this);
    top->onPainted = side->onPainted = [this] { emit cellsPainted(); };
    side->rowsOfOneHeight = [this] { return !rowHeightsVary_; };
    setHorizontalHeader(top);
    setVerticalHeader(side);
    for (QHeaderView* header : {static_cast<QHeaderView*>(top), static_cast<QHeaderView*>(side)}) {
        header->setFont(headerFont_);
        header->setHighlightSections(false);
        // Pressing a fixed cell grabs its row or column; it does not select anything.
        header->setSectionsClickable(false);
        // Columns are dragged by Qt's header, rows by the handle column itself.
        header->setSectionsMovable(header == top);
        header->setSectionResizeMode(QHeaderView::Interactive);
        header->setMinimumSectionSize(1);
        connect(header, &QHeaderView::sectionResized, this, [this, header] {
            if (resizingAll_)
                return;
            if (header->orientation() == Qt::Vertical)
                rowHeightsVary_ = true;
            placeEditor();
        });
        header->viewport()->installEventFilter(this);
        header->viewport()->setMouseTracking(true);
    }
    connect(top, &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) { columnDragged(from, to); });
    side->onRowDragged = [this](int from, int to) {
        moveEntryRow(rowOfEntry(from), rowOfEntry(to));
    };
    side->setFixedWidth(kHandleWidth);
    top->setStretchLastSection(false);

    setEditTriggers(QAbstractItemView::NoEditTriggers); // the editor below is always shown
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalScrollBar()->setTracking(true);
    horizontalScrollBar()->setTracking(true);
    setDefaultRowHeight(kDefaultRowHeight);

    if (auto* corner = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly))
        corner->installEventFilter(this);

    editor_ = new QLineEdit(viewport());
    editor_->setObjectName(QStringLiteral("StringGrid1Editor"));
    liftLengthLimit(editor_);
    editor_->setFrame(false);
    editor_->setAutoFillBackground(true);
    editor_->installEventFilter(this);
    editor_->hide();
    connect(editor_, &QLineEdit::textEdited, this, &EntryGrid::commitEditor);
}

void EntryGrid::setEntryModel(EntryGridModel* model) {
    model_ = model;
    QAbstractItemDelegate* previous = itemDelegate();
    setItemDelegate(new EntryCellPainter(model, this));
    if (previous && previous->parent() == this)
        previous->deleteLater();
    // The grid keeps the number of its current row through changes of the list (an entry
    // inserted above or a sort shows another entry there), and moves the current cell only
    // when its row is gone, to the new last row, through the selection handler. These
    // connections come before the view's own, so the view's moves of the current index while
    // rows go are quiet.
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, &EntryGrid::holdCurrent);
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &EntryGrid::holdCurrent);
    connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, &EntryGrid::holdCurrent);
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        holdCurrent();
        resetHeld_ = true;
    });
    connect(model, &QAbstractItemModel::rowsInserted, this, &EntryGrid::restoreCurrent);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &EntryGrid::restoreCurrent);
    connect(model, &QAbstractItemModel::layoutChanged, this, &EntryGrid::restoreCurrent);
    setModel(model);
    // The handle column shows no selection and selects nothing: it follows a selection of its
    // own that stays empty. Following the grid's, each selected cell had it find the place of
    // its row (all ten million places again after a row was inserted) and keep a mark for
    // every row at each paint.
    verticalHeader()->setSelectionModel(new QItemSelectionModel(model, verticalHeader()));
    for (int c = 0; c < kShownFields; ++c)
        setColumnWidth(c, kColumnWidths[c]);
    delete validator_;
    validator_ = new CodePageValidator(
        [this] { return model_ ? model_->charsetOf(currentField()) : kCharsetDefault; }, editor_);
    connect(validator_, &CodePageValidator::refused, this,
            [this](const QString& chars) { emit editRefused(column(), row(), chars); });
    editor_->setValidator(validator_);
    // A grid starts on its first cell; that is no move, so nothing is selected yet.
    ++quiet_;
    setCurrentIndex(model->index(0, 0));
    --quiet_;
    editor_->show();
    placeEditor();
}

EntryGridModel* EntryGrid::entryModel() const {
    return model_;
}

int EntryGrid::row() const {
    const QModelIndex i = currentIndex();
    return rowOfEntry(i.isValid() ? i.row() : 0);
}

int EntryGrid::column() const {
    const QModelIndex i = currentIndex();
    return columnOfField(i.isValid() ? i.column() : 0);
}

int EntryGrid::rowCount() const {
    return model_ ? model_->rowCount() + 1 : 2;
}

void EntryGrid::setCurrentCell(int column, int row) {
    if (!model_)
        return;
    row = std::clamp(row, 1, model_->rowCount());
    column = std::clamp(column, 1, kShownFields);
    setCurrentIndex(model_->index(entryOfRow(row), fieldOfColumn(column)));
}

void EntryGrid::setDefaultRowHeight(int pixels) {
    pixels = std::max(pixels, 1);
    // Resizes every row. The header tells of each row alone, which at ten million rows takes
    // longer than laying out the grid again once.
    resizingAll_ = true;
    {
        const QSignalBlocker quiet(verticalHeader());
        verticalHeader()->setDefaultSectionSize(pixels);
    }
    resizingAll_ = false;
    rowHeightsVary_ = false;
    updateGeometries();
    viewport()->update();
    verticalHeader()->viewport()->update();
    horizontalHeader()->setFixedHeight(pixels);
    placeEditor();
}

int EntryGrid::rowHeight(int row) const {
    return row == 0 ? horizontalHeader()->height() : QTableView::rowHeight(entryOfRow(row));
}

void EntryGrid::setTopRow(int row) {
    verticalScrollBar()->setValue(entryOfRow(row));
}

int EntryGrid::topRow() const {
    return rowOfEntry(rowAt(0));
}

void EntryGrid::setGridFont(const QFont& font, std::int32_t color) {
    setFont(font);
    gridColor_ = color;
    showGridColor();
}

void EntryGrid::showGridColor() {
    // The editor's palette keeps only its text colour: the rest follows the scheme.
    QPalette palette = editor_->palette();
    palette.setColor(QPalette::Text, fieldTextColor(gridColor_, this->palette()));
    editor_->setPalette(palette);
}

void EntryGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && editor_)
        showGridColor();
}

void EntryGrid::moveEntryRow(int from, int to) {
    const int rows = rowCount();
    if (!model_ || from == to || from < 1 || to < 1 || from >= rows || to >= rows)
        return;
    // A moved row keeps its height; the rows in between keep theirs (all alike unless a row's
    // border was dragged).
    if (rowHeightsVary_) {
        const int first = std::min(from, to), last = std::max(from, to);
        std::vector<int> heights;
        for (int r = first; r <= last; ++r)
            heights.push_back(QTableView::rowHeight(entryOfRow(r)));
        if (from < to)
            std::rotate(heights.begin(), heights.begin() + 1, heights.end());
        else
            std::rotate(heights.begin(), heights.end() - 1, heights.end());
        for (int r = first; r <= last; ++r)
            if (QTableView::rowHeight(entryOfRow(r)) != heights[r - first])
                setRowHeight(entryOfRow(r), heights[r - first]);
    }
    // The current cell follows its entry, and that is a move of the current cell.
    const int before = row();
    const int current = followMove(before, from, to);
    ++quiet_;
    model_->moveEntry(entryOfRow(from), entryOfRow(to));
    setCurrentCell(column(), current);
    --quiet_;
    if (current != before)
        emit selectCell(column(), current);
    placeEditor();
}

void EntryGrid::moveEntryColumn(int from, int to) {
    if (!model_ || from == to || from < 1 || to < 1 || from > kShownFields || to > kShownFields)
        return;
    std::array<int, kShownFields> widths{columnWidth(0), columnWidth(1), columnWidth(2)};
    if (from < to)
        std::rotate(widths.begin() + from - 1, widths.begin() + from, widths.begin() + to);
    else
        std::rotate(widths.begin() + to - 1, widths.begin() + from - 1, widths.begin() + from);
    for (int c = 0; c < kShownFields; ++c)
        setColumnWidth(c, widths[c]);
    model_->moveField(fieldOfColumn(from), fieldOfColumn(to));
    const int current = followMove(column(), from, to);
    if (current != column())
        setCurrentCell(current, row());
}

void EntryGrid::columnDragged(int oldVisual, int newVisual) {
    if (restoringSections_)
        return;
    // The header only reorders its sections; the grid moves the cells instead and keeps the
    // sections in their places, so that a moved column takes the role of its new position.
    restoringSections_ = true;
    horizontalHeader()->moveSection(newVisual, oldVisual);
    restoringSections_ = false;
    moveEntryColumn(columnOfField(oldVisual), columnOfField(newVisual));
}

void EntryGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (current.isValid() && quiet_ == 0)
        emit selectCell(columnOfField(current.column()), rowOfEntry(current.row()));
    QTableView::currentChanged(current, previous);
    placeEditor();
    loadEditor(true);
}

void EntryGrid::holdCurrent() {
    if (quiet_++ == 0) {
        heldCol_ = column();
        heldRow_ = row();
    }
}

void EntryGrid::restoreCurrent() {
    if (--quiet_ > 0 || !model_ || model_->rowCount() == 0)
        return;
    const int row = std::min(heldRow_, model_->rowCount());
    const QModelIndex target = model_->index(entryOfRow(row), fieldOfColumn(heldCol_));
    if (currentIndex() != target) {
        ++quiet_;
        setCurrentIndex(target);
        --quiet_;
    }
    if (row != heldRow_)
        emit selectCell(heldCol_, row);
    placeEditor();
    loadEditor(false);
}

void EntryGrid::reset() {
    QTableView::reset();
    if (resetHeld_) {
        // A replaced document starts on its first cell; whether that was a move of the cell,
        // which selects it, is decided by returnToFirstCell().
        resetHeld_ = false;
        resetFrom_ = QPoint(heldCol_, heldRow_);
        holdFirstCell();
        --quiet_;
        placeEditor();
        loadEditor(true);
    }
}

void EntryGrid::holdFirstCell() {
    if (!model_ || model_->rowCount() == 0)
        return;
    const QModelIndex first = model_->index(0, 0);
    if (currentIndex() != first) {
        ++quiet_;
        setCurrentIndex(first);
        --quiet_;
    }
}

void EntryGrid::returnToFirstCell() {
    // The selection model may have dropped the current index after the view's reset.
    holdFirstCell();
    if (resetFrom_ != QPoint(1, 1))
        emit selectCell(1, 1);
    resetFrom_ = QPoint(1, 1);
    placeEditor();
    loadEditor(true);
}

void EntryGrid::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                            const QList<int>& roles) {
    QTableView::dataChanged(topLeft, bottomRight, roles);
    const QModelIndex cur = currentIndex();
    if (!committing_ && cur.isValid() && cur.row() >= topLeft.row() &&
        cur.row() <= bottomRight.row() && cur.column() >= topLeft.column() &&
        cur.column() <= bottomRight.column())
        loadEditor(false);
}

void EntryGrid::placeEditor() {
    if (!editor_ || !model_)
        return;
    const QModelIndex cur = currentIndex();
    if (!cur.isValid()) {
        editor_->move(-10000, -10000);
        return;
    }
    QRect r = visualRect(cur);
    // Scrolled out of sight, the editor stays alive (it may hold the focus) but unseen.
    if (r.isEmpty() || !viewport()->rect().intersects(r))
        r.moveTo(-10000, -10000);
    editor_->setGeometry(r);
    if (!editor_->isVisible())
        editor_->show();
}

void EntryGrid::loadEditor(bool selectAll) {
    if (!editor_ || !model_)
        return;
    const QModelIndex cur = currentIndex();
    const QString text = cur.isValid() ? model_->data(cur, Qt::EditRole).toString() : QString();
    if (editor_->text() != text) {
        editor_->setText(text);
        editor_->setCursorPosition(0); // a long text shows its start, as in a spreadsheet
    }
    editor_->setAccessibleName(cur.isValid() ? model_->cellName(cur.row(), cur.column())
                                             : QString());
    if (selectAll) // with the cursor at the start
        editor_->setSelection(static_cast<int>(text.size()), -static_cast<int>(text.size()));
}

void EntryGrid::commitEditor(const QString& text) {
    const QModelIndex cur = currentIndex();
    if (!model_ || !cur.isValid())
        return;
    committing_ = true;
    const bool written = model_->setData(cur, text, Qt::EditRole);
    committing_ = false;
    if (!written)
        loadEditor(false);
}

bool EntryGrid::editorKeyPress(QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    bool toGrid = false;
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        // Ctrl+Tab, Tab at the last cell and Shift+Tab at the first leave the grid, so that
        // the keyboard alone reaches the controls after it.
        const bool back = key == Qt::Key_Backtab || (mods & Qt::ShiftModifier);
        const bool atEnd = back ? row() == 1 && column() == 1
                                : row() == rowCount() - 1 && column() == kShownFields;
        if (!(mods & Qt::AltModifier) && ((mods & Qt::ControlModifier) || atEnd)) {
            leaveGrid(!back);
            return true;
        }
        toGrid = !(mods & (Qt::ControlModifier | Qt::AltModifier));
        break;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        toGrid = !(mods & Qt::AltModifier);
        break;
    case Qt::Key_Left:
        toGrid = !(mods & Qt::ShiftModifier) && !editor_->hasSelectedText() &&
                 editor_->cursorPosition() == 0;
        break;
    case Qt::Key_Right:
        toGrid = !(mods & Qt::ShiftModifier) && !editor_->hasSelectedText() &&
                 editor_->cursorPosition() == editor_->text().size();
        break;
    case Qt::Key_Home:
    case Qt::Key_End:
        toGrid = (mods & Qt::ControlModifier) != 0;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true; // Enter acts on its release (a blank row below); the cell is written
    case Qt::Key_Delete:
        // Ctrl+Del deletes the entry on release; it must not also edit the cell.
        return (mods & Qt::ControlModifier) != 0;
    default:
        break;
    }
    if (!toGrid)
        return false;
    QTableView::keyPressEvent(event);
    return true;
}

void EntryGrid::leaveGrid(bool forward) {
    // The next control along the focus chain that is not the grid or a part of it, counted
    // from the grid: the in-place editor, made after the window ordered its Tab stops, stands
    // elsewhere in the chain, and counting from it skipped the check panel and the tool bar.
    for (QWidget* w = this;;) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == this)
            return;
        if (w != this && !isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() &&
            w->isEnabled() && w->window() == window()) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

bool EntryGrid::fixedLineEvent(QHeaderView* header, QEvent* event) {
    // The line under the header row sizes that row, the line right of the handle column that
    // column, as the lines between the other fixed cells size theirs.
    const bool headerRow = header->orientation() == Qt::Horizontal;
    const int extent = headerRow ? header->height() : header->width();
    const auto along = [headerRow](const QMouseEvent* m) {
        const QPoint p = m->position().toPoint();
        return headerRow ? p.y() : p.x();
    };
    constexpr int kGrip = 3;
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto* m = static_cast<QMouseEvent*>(event);
        if (sizingHeader_ == header) {
            const int size = std::max(1, along(m) + grabOffset_);
            headerRow ? header->setFixedHeight(size) : header->setFixedWidth(size);
            updateGeometries();
            return true;
        }
        const bool onLine = m->buttons() == Qt::NoButton && along(m) >= extent - kGrip;
        if (onLine)
            header->viewport()->setCursor(headerRow ? Qt::SplitVCursor : Qt::SplitHCursor);
        else
            header->viewport()->unsetCursor();
        return onLine;
    }
    case QEvent::MouseButtonPress: {
        const auto* m = static_cast<QMouseEvent*>(event);
        if (m->button() != Qt::LeftButton || along(m) < extent - kGrip)
            return false;
        sizingHeader_ = header;
        grabOffset_ = extent - along(m);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (sizingHeader_ != header)
            return false;
        sizingHeader_ = nullptr;
        return true;
    default:
        return false;
    }
}

bool EntryGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport())
        return fixedLineEvent(horizontalHeader(), event);
    if (watched == verticalHeader()->viewport())
        return fixedLineEvent(verticalHeader(), event);
    if (watched == editor_) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            keys_.pressed(*key);
            // Typing into a current cell scrolled out of sight brings it back first.
            if (!key->text().isEmpty() && !viewport()->rect().contains(editor_->geometry()))
                scrollTo(currentIndex());
            return editorKeyPress(key);
        }
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (keys_.released(*key))
                emit keyReleased(key->key(), key->modifiers());
            return false;
        }
        case QEvent::FocusOut:
            keys_.clear();
            return false;
        case QEvent::MouseButtonPress:
            // The editor covers the current cell: a click on it selects that cell again.
            if (currentIndex().isValid())
                emit selectCell(column(), row());
            return false;
        default:
            return false;
        }
    }
    if (event->type() == QEvent::Paint && watched->parent() == this &&
        qobject_cast<QAbstractButton*>(watched)) {
        auto* corner = static_cast<QWidget*>(watched);
        QPainter p(corner);
        const QRect r = corner->rect();
        p.fillRect(r, corner->palette().color(QPalette::Button));
        p.setPen(corner->palette().color(QPalette::Mid));
        p.drawLine(r.topRight(), r.bottomRight());
        p.drawLine(r.bottomLeft(), r.bottomRight());
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void EntryGrid::keyPressEvent(QKeyEvent* event) {
    keys_.pressed(*event);
    QTableView::keyPressEvent(event);
}

void EntryGrid::focusOutEvent(QFocusEvent* event) {
    keys_.clear();
    QTableView::focusOutEvent(event);
}

void EntryGrid::keyReleaseEvent(QKeyEvent* event) {
    if (keys_.released(*event))
        emit keyReleased(event->key(), event->modifiers());
    QTableView::keyReleaseEvent(event);
}

void EntryGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex hit = indexAt(event->position().toPoint());
    const bool same = hit.isValid() && hit == currentIndex();
    QTableView::mousePressEvent(event);
    if (same)
        emit selectCell(columnOfField(hit.column()), rowOfEntry(hit.row()));
}

void EntryGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    if (editor_ && editor_->isVisible())
        editor_->setFocus(event->reason());
}

void EntryGrid::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    emit cellsPainted();
}

void EntryGrid::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    placeEditor();
}

void EntryGrid::updateGeometries() {
    QTableView::updateGeometries();
    placeEditor();
}

void EntryGrid::keyboardSearch(const QString&) {
    // Typing goes into the cell, never jumps to a matching row.
}

} // namespace lexanta
