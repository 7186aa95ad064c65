#pragma once

// The pieces the worksheet layouts share: the page being painted, cells laid out to a box,
// the fonts of the fields on paper, and a table that breaks its rows over pages.

#include "core/vocab/entry_table.h"
#include "core/vocab/vocabulary.h"
#include "print/paragraph.h"
#include "print/print_options.h"
#include "print/worksheet.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPicture>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

class QPagedPaintDevice;

namespace lexanta {

class CodePage;

// A field's look on paper: its face, styles and colour at a size.
struct FieldStyle {
    QFont font;
    QColor ink;
    const CodePage* codePage = nullptr;
    // The cell's bytes as text; tabs and other control characters become blanks.
    QString text(std::string_view bytes) const;
};

// The field fonts at `pointSize` points (the vocabulary's size times the scale).
std::array<FieldStyle, 3> fieldStyles(const VocabularyHeader& header, double pointSize);
// A plain face for headings and captions.
FieldStyle captionStyle(double pointSize, bool bold = false);
// The colour a font colour prints in: a system colour (the window text, ...) prints black.
QColor inkColor(std::int32_t color);

// One piece of a cell: a text in a style, at a fraction of the style's size.
struct CellPiece {
    QString text;
    const FieldStyle* style = nullptr;
    double size = 1.0;
    bool shortened = false; // the text is the start of a longer one
};
using Cell = std::vector<CellPiece>;

// A cell's pieces laid out one under the other, at `scale` times their sizes.
struct CellBlock {
    std::vector<Paragraph> paragraphs;
    std::vector<const FieldStyle*> styles;
    double height = 0, width = 0, gap = 0;
    bool cut = false; // the last paragraph ends in the cut mark
    void draw(QPainter& painter, QPointF topLeft) const;
};
// Lines that would pass `maxHeight` are cut (Paragraph).
CellBlock layOutCell(const Cell& cell, QPaintDevice* device, double width, double scale,
                     Qt::Alignment alignment, bool wholeWords = false,
                     double maxHeight = Paragraph::kUnbounded);
// The cell with each text shortened to what could fit in `box` at the smallest size printed,
// so that a text of any length costs no more to lay out than one that fills the box: `cell`
// itself when no text needs it, else `storage` filled.
const Cell& shortenedToFit(const Cell& cell, QPaintDevice* device, const QSizeF& box,
                           Cell& storage);
// The scale at which the cell's smallest text is printed at the smallest size, at most 1.
double smallestScale(const Cell& cell);
// The largest scale up to 1 at which the cell fits the box, laid out at that scale. Text
// is made smaller, and words break only when they would have to become tiny; only what does
// not fit at the smallest size printed is cut.
CellBlock fitCell(const Cell& cell, QPaintDevice* device, const QSizeF& box,
                  Qt::Alignment alignment);

// The page being painted, in device pixels with the origin at the page's corner. Pages are
// painted one after the other and never kept.
class PagePainter {
public:
    PagePainter(QPagedPaintDevice& device, const PrintOptions& options, const PaintLimits& limits);
    ~PagePainter();

    // The painter of the current page; one that discards what it is given on the pages before
    // the limits' first.
    QPainter& painter() { return skipping_ ? skipPainter_ : painter_; }
    QPaintDevice* device();
    const PrintOptions& options() const { return options_; }
    QRectF page() const { return page_; }
    QRectF body() const { return body_; } // inside the margins
    double mm(double millimetres) const { return millimetres * dpi_ / 25.4; }
    double pt(double points) const { return points * dpi_ / 72.0; }
    bool painting() const { return painter_.isActive(); }

    // The footer of the pages that follow, "%1" standing for the page number.
    void setFooter(const QString& footer, Qt::Alignment alignment = Qt::AlignHCenter);
    // The same, the page number restarting at 1 (a test variant, an answer key).
    void startPart(const QString& footer, Qt::Alignment alignment = Qt::AlignHCenter);
    // True when nothing is painted on the current page yet.
    bool fresh() const { return fresh_; }
    void markPainted() { fresh_ = false; }
    // Ends the page and begins the next; false when painting stops (the page limit of a
    // preview, the end of a printer's page range, a failed device, a cancel).
    bool nextPage();
    // The part's next page unless the current one is still empty.
    bool beginPartPage();
    bool stopped() const { return stopped_; }
    void progress(long long done, long long total);
    PaintResult finish();

private:
    void paintFooter();
    void skipPage();

    QPagedPaintDevice& device_;
    PrintOptions options_;
    PaintLimits limits_;
    QPainter painter_;
    QPicture skipped_;
    QPainter skipPainter_;
    double dpi_ = 72;
    QRectF page_, body_;
    QString footer_;
    Qt::Alignment footerAlignment_ = Qt::AlignHCenter;
    int pages_ = 1, partPage_ = 1;
    bool fresh_ = true, stopped_ = false, skipping_ = false, rangeDone_ = false;
};

// Paints the vocabulary's title, languages, author and date, then `lines`, from the top of
// the body; returns the height taken.
double paintHeading(PagePainter& sheet, const VocabularyHeader& header, const QStringList& lines);

// Rows of cells under a header row that repeats on every page; a row never breaks over
// pages, and one taller than a page is made smaller (and cut only at the smallest size).
struct TableColumn {
    double x = 0, width = 0; // from the body's left
    Qt::Alignment alignment = Qt::AlignLeft;
};
class TableWriter {
public:
    TableWriter(PagePainter& sheet, std::vector<TableColumn> columns, std::vector<Cell> header);
    // Space each row keeps at least (the test's writing room).
    void setMinimumRowHeight(double height) { minimumRow_ = height; }
    void setFoldLine(bool on) { foldLine_ = on; }
    void setRowRules(bool on) { rowRules_ = on; }
    // Texts stand at the foot of their row (on the test's answer line), not at its head.
    void setBottomAligned(bool on) { alignBottom_ = on; }
    // Painted after each row, with the row's rectangle and the laid-out cells.
    using Decoration = std::function<void(QPainter&, const QRectF&, const std::vector<CellBlock>&)>;
    void setDecoration(Decoration decoration) { decoration_ = std::move(decoration); }
    // Starts below `top` (a heading) on the current page.
    void begin(double top);
    // False when painting stopped.
    bool addRow(const std::vector<Cell>& whole);

private:
    void paintHeaderRow();
    void paintFoldLine();
    std::vector<CellBlock> layOut(const std::vector<Cell>& cells, double scale,
                                  double maxHeight = Paragraph::kUnbounded) const;
    double rowHeight(const std::vector<CellBlock>& blocks) const;

    PagePainter& sheet_;
    std::vector<TableColumn> columns_;
    std::vector<Cell> header_;
    double padX_, padY_, minimumRow_ = 0;
    double top_ = 0, y_ = 0, headerHeight_ = 0;
    int rowsOnPage_ = 0;
    bool foldLine_ = false, rowRules_ = true, alignBottom_ = false;
    Decoration decoration_;
};

// The layouts, each painting its entries on the sheet in `styles` (the field fonts at the
// sheet's base size).
using FieldStyles = std::array<FieldStyle, 3>;
void paintList(PagePainter& sheet, const VocabularyHeader& header, const EntryTable& table,
               const std::vector<int>& entries, const FieldStyles& styles);
void paintFoldOver(PagePainter& sheet, const VocabularyHeader& header, const EntryTable& table,
                   const std::vector<int>& entries, const FieldStyles& styles);
void paintTest(PagePainter& sheet, const VocabularyHeader& header, const EntryTable& table,
               const std::vector<int>& entries, const FieldStyles& styles);
void paintCards(PagePainter& sheet, const VocabularyHeader& header, const EntryTable& table,
                const std::vector<int>& entries, const FieldStyles& styles);

} // namespace lexanta
