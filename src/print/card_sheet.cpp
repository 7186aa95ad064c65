// Two-sided flash cards: a page of fronts, then the page of their backs, each back placed
// where the sheet turned over puts it behind its front.
#include "print/sheet.h"
#include "print/sheet_texts.h"

#include <algorithm>

namespace lexanta {

namespace {

// Card text is larger than list text; the comment under the answer smaller than the answer.
constexpr double kCardTextSize = 2.0;
constexpr double kCardCommentSize = 1.2;

const QColor kGuideInk(0xc4, 0xc8, 0xce);
const QColor kMarkInk(0x30, 0x30, 0x30);

struct CardGrid {
    QRectF body;
    int columns, rows;
    double width() const { return body.width() / columns; }
    double height() const { return body.height() / rows; }
    QRectF card(int column, int row) const {
        return QRectF(body.left() + column * width(), body.top() + row * height(), width(),
                      height());
    }
};

// Marks in the margins where the sheet is cut: at each end of every cut line.
void paintCutMarks(PagePainter& sheet, const CardGrid& grid) {
    QPainter& p = sheet.painter();
    p.setPen(QPen(kMarkInk, sheet.pt(0.5)));
    const QRectF body = grid.body;
    const double gap = sheet.mm(1.5);
    const double length = std::max(
        sheet.mm(1.5), std::min(sheet.mm(5), sheet.mm(sheet.options().marginMm) - sheet.mm(2.5)));
    for (int c = 0; c <= grid.columns; ++c) {
        const double x = body.left() + c * grid.width();
        p.drawLine(QPointF(x, body.top() - gap), QPointF(x, body.top() - gap - length));
        p.drawLine(QPointF(x, body.bottom() + gap), QPointF(x, body.bottom() + gap + length));
    }
    for (int r = 0; r <= grid.rows; ++r) {
        const double y = body.top() + r * grid.height();
        p.drawLine(QPointF(body.left() - gap, y), QPointF(body.left() - gap - length, y));
        p.drawLine(QPointF(body.right() + gap, y), QPointF(body.right() + gap + length, y));
    }
}

// Faint lines along the cuts, on the fronts only: a back printed a little off would show them.
void paintGuides(PagePainter& sheet, const CardGrid& grid, int cards) {
    QPainter& p = sheet.painter();
    p.setPen(QPen(kGuideInk, sheet.pt(0.4), Qt::DashLine));
    for (int i = 0; i < cards; ++i)
        p.drawRect(grid.card(i % grid.columns, i / grid.columns));
}

void paintCard(PagePainter& sheet, const QRectF& card, const Cell& cell) {
    const double padding = std::min(sheet.mm(4), std::min(card.width(), card.height()) * 0.1);
    const QRectF box = card.adjusted(padding, padding, -padding, -padding);
    const CellBlock block = fitCell(cell, sheet.device(), box.size(), Qt::AlignHCenter);
    block.draw(sheet.painter(), QPointF(box.left(), box.top() + (box.height() - block.height) / 2));
}

} // namespace

void paintCards(PagePainter& sheet, const VocabularyHeader& header, const EntryTable& table,
                const std::vector<int>& entries, const FieldStyles& styles) {
    const PrintOptions& o = sheet.options();
    if (entries.empty()) {
        paintHeading(sheet, header, {});
        return;
    }
    const CardGrid grid{sheet.body(), o.cardColumns, o.cardRows};
    const int perPage = grid.columns * grid.rows;
    const int prompt = o.direction == Direction::QuestionToAnswer ? kQuestion : kAnswer;
    const int reply = prompt == kQuestion ? kAnswer : kQuestion;
    const QString page = sheetText(SheetText::Page, o.language) + QStringLiteral(" · ");
    const auto count = static_cast<long long>(entries.size());
    const long long total = count * 2;
    for (std::size_t first = 0; first < entries.size();
         first += static_cast<std::size_t>(perPage)) {
        const int cards = static_cast<int>(std::min<std::size_t>(perPage, entries.size() - first));
        if (!sheet.beginPartPage())
            return;
        sheet.setFooter(page + sheetText(SheetText::Fronts, o.language), Qt::AlignLeft);
        paintGuides(sheet, grid, cards);
        paintCutMarks(sheet, grid);
        for (int i = 0; i < cards; ++i) {
            const EntryView e = table.entry(entries[first + static_cast<std::size_t>(i)]);
            paintCard(sheet, grid.card(i % grid.columns, i / grid.columns),
                      {{styles[prompt].text(e[prompt]), &styles[prompt], kCardTextSize}});
        }
        sheet.markPainted();
        sheet.progress(static_cast<long long>(first) * 2 + cards, total);

        if (!sheet.nextPage())
            return;
        sheet.setFooter(page + sheetText(SheetText::Backs, o.language), Qt::AlignLeft);
        paintCutMarks(sheet, grid);
        for (int i = 0; i < cards; ++i) {
            // Turned over the long edge, a card's column runs the other way; turned over the
            // short edge, its row does.
            int column = i % grid.columns, row = i / grid.columns;
            if (o.flip == Flip::LongEdge)
                column = grid.columns - 1 - column;
            else
                row = grid.rows - 1 - row;
            const EntryView e = table.entry(entries[first + static_cast<std::size_t>(i)]);
            paintCard(sheet, grid.card(column, row),
                      {{styles[reply].text(e[reply]), &styles[reply], kCardTextSize},
                       {styles[kComment].text(e[kComment]), &styles[kComment], kCardCommentSize}});
        }
        sheet.markPainted();
        sheet.progress(static_cast<long long>(first) * 2 + cards * 2, total);
    }
}

} // namespace lexanta
