#include "gui/editing/entry_grid_header.h"

#include <QPainter>

namespace lexanta {

namespace {

QMetaMethod methodOf(const QMetaObject& meta, const char* signature, bool signal) {
    const QByteArray normalized = QMetaObject::normalizedSignature(signature);
    const int index = signal ? meta.indexOfSignal(normalized.constData())
                             : meta.indexOfSlot(normalized.constData());
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
    const QMetaObject& modelMeta = QAbstractItemModel::staticMetaObject;
    const QMetaObject& headerMeta = QHeaderView::staticMetaObject;
    const QMetaMethod inserted = methodOf(modelMeta, "rowsInserted(QModelIndex,int,int)", true);
    const QMetaMethod removed = methodOf(modelMeta, "rowsRemoved(QModelIndex,int,int)", true);
    const QMetaMethod qtInsertion =
        methodOf(headerMeta, "sectionsInserted(QModelIndex,int,int)", false);
    const QMetaMethod qtRemoval =
        methodOf(headerMeta, "_q_sectionsRemoved(QModelIndex,int,int)", false);
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
