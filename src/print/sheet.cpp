#include "print/sheet.h"

#include "platform/codepage.h"
#include "print/sheet_texts.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>

#include <algorithm>
#include <cmath>

namespace lexanta {

namespace {

const QColor kRuleColor(0xb8, 0xbe, 0xc8);
const QColor kHeaderFill(0xec, 0xee, 0xf2);
const QColor kFooterInk(0x60, 0x66, 0x70);
// Card text keeps its words whole down to this size; a word that would need smaller breaks.
constexpr double kMinWholeWordPoints = 8;

// The largest scale in [floor, 1] for which `fits` holds, to within about 2 per cent; `floor`
// when none does.
template <typename Fits> double largestFittingScale(Fits fits, double floor = 1.0 / 1024) {
    if (fits(1.0))
        return 1.0;
    double high = 1.0, low = std::max(0.5, floor);
    while (!fits(low)) {
        if (low <= floor)
            return low;
        high = low;
        low = std::max(low / 2, floor);
    }
    for (int i = 0; i < 6; ++i) {
        const double middle = (low + high) / 2;
        (fits(middle) ? low : high) = middle;
    }
    return low;
}

QFont scaledFont(QFont font, double factor) {
    font.setPointSizeF(std::max(0.01, font.pointSizeF() * factor));
    return font;
}

} // namespace

QString FieldStyle::text(std::string_view bytes) const {
    QString t = codePage->decode(bytes);
    for (QChar& c : t)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char(' ');
    return t;
}

QColor inkColor(std::int32_t color) {
    if (color < 0)
        return Qt::black;
    const auto bits = static_cast<std::uint32_t>(color);
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

std::array<FieldStyle, 3> fieldStyles(const VocabularyHeader& header, double pointSize) {
    std::array<FieldStyle, 3> styles;
    const CodePage& ansi = CodePage::get(systemAnsiCodePage());
    for (std::size_t f = 0; f < styles.size(); ++f) {
        const FieldFont& source = header.fonts[f];
        QFont font(ansi.decode(source.face));
        font.setPointSizeF(pointSize);
        font.setBold(source.bold);
        font.setItalic(source.italic);
        font.setUnderline(source.underline);
        font.setStrikeOut(source.strikeOut);
        styles[f] = {font, inkColor(source.color), &CodePage::forCharset(source.charset)};
    }
    return styles;
}

FieldStyle captionStyle(double pointSize, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return {font, Qt::black, &CodePage::get(systemAnsiCodePage())};
}

// ---- cells ----------------------------------------------------------------------------------

CellBlock layOutCell(const Cell& cell, QPaintDevice* device, double width, double scale,
                     Qt::Alignment alignment, bool wholeWords, double maxHeight) {
    CellBlock block;
    // What the last paragraph was made of, to mark its end when the next piece has no room.
    const CellPiece* lastPiece = nullptr;
    QFont lastFont;
    double heightBefore = 0, widthBefore = 0;
    for (const CellPiece& piece : cell) {
        if (piece.text.isEmpty() && !block.paragraphs.empty())
            continue; // an empty comment under an answer takes no room
        const QFont font = scaledFont(piece.style->font, piece.size * scale);
        if (!block.paragraphs.empty()) {
            const QFontMetricsF metrics(font, device);
            if (block.height + metrics.height() * 1.25 > maxHeight) {
                block.paragraphs.back() =
                    Paragraph(lastPiece->text, lastFont, device, width, alignment, wholeWords,
                              maxHeight - heightBefore, true);
                block.height = heightBefore + block.paragraphs.back().height();
                block.width = std::max(widthBefore, block.paragraphs.back().width());
                block.cut = true;
                break;
            }
            block.gap = metrics.height() * 0.25;
            block.height += block.gap;
        }
        heightBefore = block.height;
        widthBefore = block.width;
        block.paragraphs.emplace_back(piece.text, font, device, width, alignment, wholeWords,
                                      maxHeight - block.height, piece.shortened);
        block.styles.push_back(piece.style);
        block.height += block.paragraphs.back().height();
        block.width = std::max(block.width, block.paragraphs.back().width());
        lastPiece = &piece;
        lastFont = font;
        if (block.paragraphs.back().cut()) {
            block.cut = true;
            break;
        }
    }
    return block;
}

void CellBlock::draw(QPainter& painter, QPointF topLeft) const {
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        paragraphs[i].draw(painter, topLeft, styles[i]->ink);
        topLeft.ry() += paragraphs[i].height() + gap;
    }
}

double smallestScale(const Cell& cell) {
    double scale = 1;
    for (const CellPiece& piece : cell)
        if (!piece.text.isEmpty())
            scale = std::min(scale,
                             kMinPrintPoints / std::max(piece.style->font.pointSizeF() * piece.size,
                                                        kMinPrintPoints));
    return scale;
}

const Cell& shortenedToFit(const Cell& cell, QPaintDevice* device, const QSizeF& box,
                           Cell& storage) {
    const double scale = smallestScale(cell);
    bool shortened = false;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        const CellPiece& piece = cell[i];
        const double points = piece.style->font.pointSizeF() * piece.size * scale;
        if (!mayNotFit(piece.text.size(), points, device->logicalDpiY(), box))
            continue;
        const QString start = fittingStart(
            piece.text, scaledFont(piece.style->font, piece.size * scale), device, box);
        if (start.size() == piece.text.size())
            continue;
        if (!shortened)
            storage = cell;
        shortened = true;
        storage[i].text = start;
        storage[i].shortened = true;
    }
    return shortened ? storage : cell;
}

CellBlock fitCell(const Cell& whole, QPaintDevice* device, const QSizeF& box,
                  Qt::Alignment alignment) {
    Cell storage;
    const Cell& cell = shortenedToFit(whole, device, box, storage);
    CellBlock fitted;
    const auto largestFit = [&](bool wholeWords, double floor) {
        return largestFittingScale(
            [&](double s) {
                CellBlock block = layOutCell(cell, device, box.width(), s, alignment, wholeWords);
                const bool fits = block.height <= box.height() && block.width <= box.width() + 0.5;
                if (fits)
                    fitted = std::move(block);
                return fits;
            },
            floor);
    };
    // "internatio" over "nal" is worse than smaller text, as long as it stays legible.
    double largest = 0;
    for (const CellPiece& piece : cell)
        largest = std::max(largest, piece.style->font.pointSizeF() * piece.size);
    double scale = largestFit(true, std::min(1.0, kMinWholeWordPoints / std::max(largest, 1.0)));
    if (fitted.paragraphs.empty())
        scale = largestFit(false, smallestScale(cell));
    if (fitted.paragraphs.empty()) // too long for the box at the smallest size
        fitted = layOutCell(cell, device, box.width(), scale, alignment, false, box.height());
    return fitted;
}

// ---- PagePainter
// ----------------------------------------------------------------------------------

PagePainter::PagePainter(QPagedPaintDevice& device, const PrintOptions& options,
                         const PaintLimits& limits)
    : device_(device), options_(options), limits_(limits) {
    dpi_ = device.logicalDpiX();
    const QRect full = device.pageLayout().fullRectPixels(static_cast<int>(dpi_));
    page_ = QRectF(0, 0, full.width(), full.height());
    const double margin = mm(options.marginMm);
    body_ = page_.adjusted(margin, margin, -margin, -margin);
    footer_ = sheetText(SheetText::Page, options.language);
    if (!painter_.begin(&device))
        stopped_ = true;
    painter_.setRenderHint(QPainter::Antialiasing);
    if (limits_.firstPage > 1)
        skipPage();
}

void PagePainter::skipPage() {
    if (skipPainter_.isActive())
        skipPainter_.end();
    skipped_ = QPicture();
    skipping_ = skipPainter_.begin(&skipped_);
}

PagePainter::~PagePainter() {
    if (skipPainter_.isActive())
        skipPainter_.end();
    if (painter_.isActive())
        painter_.end();
}

QPaintDevice* PagePainter::device() {
    return &device_;
}

void PagePainter::setFooter(const QString& footer, Qt::Alignment alignment) {
    footer_ = footer;
    footerAlignment_ = alignment;
}

void PagePainter::startPart(const QString& footer, Qt::Alignment alignment) {
    setFooter(footer, alignment);
    partPage_ = 1;
}

bool PagePainter::nextPage() {
    if (stopped_)
        return false;
    paintFooter();
    if (limits_.lastPage > 0 && pages_ >= limits_.lastPage) {
        stopped_ = rangeDone_ = true;
        return false;
    }
    // The device's first page is open from the start: it takes the first page in the range.
    const bool onDevicePage = !skipping_;
    if ((limits_.maxPages > 0 && pages_ >= limits_.maxPages) ||
        (limits_.cancel && limits_.cancel()) || (onDevicePage && !device_.newPage())) {
        stopped_ = true;
        return false;
    }
    ++pages_;
    ++partPage_;
    if (pages_ < limits_.firstPage) {
        skipPage();
    } else if (skipping_) {
        skipPainter_.end();
        skipping_ = false;
    }
    fresh_ = true;
    return true;
}

bool PagePainter::beginPartPage() {
    if (fresh_)
        return !stopped_;
    return nextPage();
}

void PagePainter::progress(long long done, long long total) {
    if (limits_.progress)
        limits_.progress(done, total);
}

void PagePainter::paintFooter() {
    if (!painter().isActive() || footer_.isEmpty())
        return;
    const FieldStyle style = captionStyle(8);
    const QString text = footer_.arg(partPage_);
    const Paragraph paragraph(text, style.font, &device_, body_.width());
    const double y = body_.bottom() + (page_.bottom() - body_.bottom() - paragraph.height()) / 2;
    double x = body_.left() + mm(3);
    if (footerAlignment_ & Qt::AlignHCenter)
        x = body_.center().x() - paragraph.width() / 2;
    paragraph.draw(painter(), QPointF(x, y), kFooterInk);
}

PaintResult PagePainter::finish() {
    if (painter_.isActive()) {
        if (!stopped_) // else nextPage has painted it
            paintFooter();
        if (skipPainter_.isActive())
            skipPainter_.end();
        painter_.end();
    }
    return {pages_, !stopped_ || rangeDone_};
}

// ---- heading --------------------------------------------------------------------------------

double paintHeading(PagePainter& sheet, const VocabularyHeader& header, const QStringList& lines) {
    const double scale = sheet.options().fontScale;
    const InterfaceLanguage language = sheet.options().language;
    const FieldStyle title = captionStyle(16 * scale, true);
    const FieldStyle plain = captionStyle(9.5 * scale);
    const QRectF body = sheet.body();
    double y = body.top();
    const auto put = [&](const QString& text, const FieldStyle& style) {
        // A description line of any length takes a quarter of the page at most.
        const QSizeF box(body.width(), body.height() / 4);
        const QString start = fittingStart(text, style.font, sheet.device(), box);
        const Paragraph p(start, style.font, sheet.device(), body.width(), Qt::AlignLeft, false,
                          box.height(), start.size() < text.size());
        p.draw(sheet.painter(), QPointF(body.left(), y), style.ink);
        y += p.height();
    };
    if (!header.title.empty())
        put(title.text(header.title), title);
    QStringList facts;
    const QString questions = plain.text(header.questionsLanguage);
    const QString answers = plain.text(header.answersLanguage);
    if (!questions.trimmed().isEmpty() || !answers.trimmed().isEmpty())
        facts << sheetText(SheetText::Languages, language) + QLatin1Char(' ') + questions +
                     QStringLiteral(" – ") + answers;
    if (!header.author.empty())
        facts << sheetText(SheetText::Author, language) + QLatin1Char(' ') +
                     plain.text(header.author);
    if (!header.date.empty())
        facts << sheetText(SheetText::Date, language) + QLatin1Char(' ') + plain.text(header.date);
    if (!facts.isEmpty())
        put(facts.join(QStringLiteral("     ")), plain);
    const FieldStyle subtitle = captionStyle(11 * scale, true);
    for (qsizetype i = 0; i < lines.size(); ++i)
        put(lines[i], i == 0 ? subtitle : plain);
    sheet.markPainted();
    return y - body.top() + (y > body.top() ? sheet.mm(4) : 0);
}

// ---- TableWriter ----------------------------------------------------------------------------

TableWriter::TableWriter(PagePainter& sheet, std::vector<TableColumn> columns,
                         std::vector<Cell> header)
    : sheet_(sheet), columns_(std::move(columns)), header_(std::move(header)) {
    padX_ = sheet.mm(1.5);
    padY_ = sheet.mm(1.0);
}

std::vector<CellBlock> TableWriter::layOut(const std::vector<Cell>& cells, double scale,
                                           double maxHeight) const {
    std::vector<CellBlock> blocks;
    blocks.reserve(cells.size());
    for (std::size_t c = 0; c < cells.size() && c < columns_.size(); ++c)
        blocks.push_back(layOutCell(cells[c], sheet_.device(),
                                    std::max(1.0, columns_[c].width - 2 * padX_), scale,
                                    columns_[c].alignment, false, maxHeight));
    return blocks;
}

double TableWriter::rowHeight(const std::vector<CellBlock>& blocks) const {
    double h = 0;
    for (const CellBlock& b : blocks)
        h = std::max(h, b.height);
    return std::max(h + 2 * padY_, minimumRow_);
}

void TableWriter::begin(double top) {
    top_ = sheet_.body().top() + top;
    y_ = top_;
    rowsOnPage_ = 0;
    paintFoldLine();
    paintHeaderRow();
}

void TableWriter::paintFoldLine() {
    if (!foldLine_)
        return;
    QPainter& p = sheet_.painter();
    QPen pen(kRuleColor.darker(140), sheet_.pt(0.8), Qt::DashLine);
    p.setPen(pen);
    const double x = sheet_.page().center().x();
    p.drawLine(QPointF(x, y_), QPointF(x, sheet_.body().bottom()));
}

void TableWriter::paintHeaderRow() {
    if (header_.empty())
        return;
    const std::vector<CellBlock> blocks = layOut(header_, 1.0);
    double h = 0;
    for (const CellBlock& b : blocks)
        h = std::max(h, b.height + 2 * padY_);
    QPainter& p = sheet_.painter();
    const QRectF body = sheet_.body();
    for (std::size_t c = 0; c < blocks.size(); ++c) {
        const QRectF cell(body.left() + columns_[c].x, y_, columns_[c].width, h);
        if (!header_[c].empty())
            p.fillRect(cell, kHeaderFill);
        blocks[c].draw(p, QPointF(cell.left() + padX_, y_ + padY_));
    }
    p.setPen(QPen(kRuleColor.darker(150), sheet_.pt(0.8)));
    p.drawLine(QPointF(body.left(), y_ + h), QPointF(body.right(), y_ + h));
    headerHeight_ = h;
    y_ += h;
    sheet_.markPainted();
}

bool TableWriter::addRow(const std::vector<Cell>& whole) {
    if (sheet_.stopped())
        return false;
    const QRectF body = sheet_.body();
    // Copied only when a text is too long for any page.
    std::vector<Cell> shortened;
    for (std::size_t c = 0; c < whole.size() && c < columns_.size(); ++c) {
        Cell storage;
        const QSizeF box(std::max(1.0, columns_[c].width - 2 * padX_),
                         body.height() - headerHeight_ - 2 * padY_);
        if (&shortenedToFit(whole[c], sheet_.device(), box, storage) == &storage) {
            if (shortened.empty())
                shortened = whole;
            shortened[c] = std::move(storage);
        }
    }
    const std::vector<Cell>& cells = shortened.empty() ? whole : shortened;
    std::vector<CellBlock> blocks = layOut(cells, 1.0);
    double h = rowHeight(blocks);
    if (y_ + h > body.bottom()) {
        // The row goes to the next page, under the header row again, unless it is the first
        // row of a page that has nothing above it but the header row.
        const bool fitsNextPage = h <= body.height() - headerHeight_;
        if (rowsOnPage_ > 0 || (top_ > body.top() + 0.5 && fitsNextPage)) {
            if (!sheet_.nextPage())
                return false;
            top_ = body.top();
            y_ = top_;
            rowsOnPage_ = 0;
            paintFoldLine();
            paintHeaderRow();
        }
    }
    if (y_ + h > body.bottom()) {
        // Taller than a whole page: smaller, and cut only at the smallest size.
        const double room = body.bottom() - y_;
        double floor = 1;
        for (const Cell& cell : cells)
            floor = std::min(floor, smallestScale(cell));
        const double scale = largestFittingScale(
            [&](double s) { return rowHeight(layOut(cells, s)) <= room; }, floor);
        blocks = layOut(cells, scale);
        if (rowHeight(blocks) > room)
            blocks = layOut(cells, scale, room - 2 * padY_);
        h = std::min(rowHeight(blocks), room);
    }
    QPainter& p = sheet_.painter();
    for (std::size_t c = 0; c < blocks.size(); ++c) {
        const double top = alignBottom_ ? y_ + h - padY_ - blocks[c].height : y_ + padY_;
        blocks[c].draw(p, QPointF(body.left() + columns_[c].x + padX_, top));
    }
    const QRectF row(body.left(), y_, body.width(), h);
    if (decoration_)
        decoration_(p, row, blocks);
    if (rowRules_) {
        p.setPen(QPen(kRuleColor, sheet_.pt(0.4)));
        p.drawLine(row.bottomLeft(), row.bottomRight());
    }
    y_ += h;
    ++rowsOnPage_;
    sheet_.markPainted();
    return true;
}

} // namespace lexanta
