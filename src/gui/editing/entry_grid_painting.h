#pragma once

// How the entry grid paints its data cells.

#include "gui/editing/entry_grid_model.h"
#include "gui/widgets/display_colors.h"
#include "gui/widgets/field_fonts.h"

#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <array>

namespace lexanta {

// Data cells: the scheme's base colour, the text once from (left + 2, top + 2) in the column's
// field font and colour (made readable on that base), clipped to the cell; selected and
// focused cells look like the others.
class EntryCellPainter : public QStyledItemDelegate {
public:
    EntryCellPainter(const EntryGridModel* model, QObject* parent)
        : QStyledItemDelegate(parent), model_(model) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect& r = option.rect;
        painter->save();
        painter->setClipRect(r, Qt::IntersectClip);
        painter->fillRect(r, option.palette.color(QPalette::Base));
        const Cached& look = lookOf(index.column(), option.palette);
        painter->setFont(look.qfont);
        painter->setPen(look.color);
        painter->drawText(QRect(r.left() + 2, r.top() + 2, std::max(r.width() - 2, 0) + 4096,
                                std::max(r.height() - 2, 0)),
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return option.rect.size();
    }

private:
    struct Cached {
        FieldFont font;
        QFont qfont;
        QColor color;
        qint64 palette = 0;
        bool valid = false;
    };

    const Cached& lookOf(int column, const QPalette& palette) const {
        Cached& c = cache_[column];
        const FieldFont& current = model_->fieldFonts()[column];
        if (!c.valid || !(c.font == current) || c.palette != palette.cacheKey()) {
            c.font = current;
            c.qfont = toQFont(current);
            c.color = fieldTextColor(current.color, palette);
            c.palette = palette.cacheKey();
            c.valid = true;
        }
        return c;
    }

    const EntryGridModel* model_;
    mutable std::array<Cached, kShownFields> cache_;
};

} // namespace lexanta
