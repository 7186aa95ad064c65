#include "print/paragraph.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace lexanta {

namespace {

// A run this long without a place to break is laid out on lines of its own, broken anywhere:
// Qt looks for a word boundary first, scanning the rest of the run for every line it makes.
constexpr qsizetype kLongRun = 1024;
// A cut that still leaves the box is shortened again, at most this often.
constexpr int kMarkTries = 8;

struct Span {
    qsizetype start, end;
    QTextOption::WrapMode wrap;
};

std::vector<Span> spansOf(const QString& text, bool wholeWords) {
    const QTextOption::WrapMode words =
        wholeWords ? QTextOption::WordWrap : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (wholeWords || text.size() <= kLongRun)
        return {{0, text.size(), words}};
    // Blanks close together leave no room for such a run, without looking for line breaks.
    qsizetype sinceBlank = 0;
    for (const QChar c : text) {
        sinceBlank = c.isSpace() ? 0 : sinceBlank + 1;
        if (sinceBlank > kLongRun)
            break;
    }
    if (sinceBlank <= kLongRun)
        return {{0, text.size(), words}};
    std::vector<Span> spans;
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    qsizetype start = 0, previous = 0;
    for (qsizetype at = breaks.toNextBoundary(); at > 0; at = breaks.toNextBoundary()) {
        if (at - previous > kLongRun) {
            if (previous > start)
                spans.push_back({start, previous, words});
            spans.push_back({previous, at, QTextOption::WrapAnywhere});
            start = at;
        }
        previous = at;
    }
    if (start < text.size() || spans.empty())
        spans.push_back({start, text.size(), words});
    return spans;
}

std::unique_ptr<QTextLayout> newLayout(const QString& text, const QFont& font, QPaintDevice* device,
                                       Qt::Alignment alignment, QTextOption::WrapMode wrap) {
    auto layout = std::make_unique<QTextLayout>(text, font, device);
    QTextOption option(alignment);
    option.setWrapMode(wrap);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    return layout;
}

// Drops the last character with the marks on it.
void chopCharacter(QString& text) {
    while (!text.isEmpty()) {
        const QChar last = text.back();
        text.chop(last.isLowSurrogate() && text.size() > 1 ? 2 : 1);
        if (!last.isMark())
            return;
    }
}

} // namespace

Paragraph::Paragraph(const QString& text, const QFont& font, QPaintDevice* device, double width,
                     Qt::Alignment alignment, bool wholeWords, double maxHeight, bool markEnd) {
    if (text.isEmpty()) {
        const QFontMetricsF metrics(font, device);
        height_ = metrics.height();
        lastBaseline_ = metrics.ascent();
        return;
    }
    const std::vector<Span> spans = spansOf(text, wholeWords);
    // The last line kept: where its text is, and what came before its span.
    struct {
        std::size_t span = 0;
        qsizetype start = 0, end = 0;
        double spanTop = 0, widthBefore = 0;
    } last;
    double y = 0;
    for (std::size_t i = 0; i < spans.size() && !cut_; ++i) {
        const Span& span = spans[i];
        auto layout = newLayout(text.mid(span.start, span.end - span.start), font, device,
                                alignment, span.wrap);
        const double top = y, widthBefore = width_;
        layout->beginLayout();
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(width);
            if (y > 0 && y + line.height() > maxHeight) {
                cut_ = true;
                break;
            }
            line.setPosition(QPointF(0, y));
            const qsizetype start = span.start + line.textStart();
            last = {i, start, start + line.textLength(), top, widthBefore};
            lastBaseline_ = y + line.ascent();
            y += line.height();
            width_ = std::max(width_, line.naturalTextWidth());
        }
        layout->endLayout();
        if (!cut_)
            layouts_.push_back(std::move(layout));
    }
    height_ = y;
    if (!cut_ && !markEnd)
        return;

    // The last line kept is laid out again ending in the mark, with as much of its text as
    // leaves room for it; what follows it goes.
    cut_ = true;
    layouts_.resize(last.span);
    const Span& span = spans[last.span];
    const QString before = text.mid(span.start, last.start - span.start);
    QString line = text.mid(last.start, last.end - last.start);
    while (!line.isEmpty() && line.back().isSpace())
        line.chop(1);
    const QFontMetricsF metrics(font, device);
    while (!line.isEmpty() && metrics.horizontalAdvance(line + kCutMark) > width)
        chopCharacter(line);
    for (int tries = 0;; ++tries) {
        auto layout = newLayout(before + line + kCutMark, font, device, alignment, span.wrap);
        double lineY = last.spanTop, widest = last.widthBefore, baseline = 0;
        layout->beginLayout();
        for (QTextLine l = layout->createLine(); l.isValid(); l = layout->createLine()) {
            l.setLineWidth(width);
            l.setPosition(QPointF(0, lineY));
            baseline = lineY + l.ascent();
            lineY += l.height();
            widest = std::max(widest, l.naturalTextWidth());
        }
        layout->endLayout();
        if (lineY <= height_ + 0.5 || line.isEmpty() || tries == kMarkTries) {
            layouts_.push_back(std::move(layout));
            height_ = lineY;
            width_ = widest;
            lastBaseline_ = baseline;
            return;
        }
        chopCharacter(line);
    }
}

Paragraph::~Paragraph() = default;
Paragraph::Paragraph(Paragraph&&) noexcept = default;
Paragraph& Paragraph::operator=(Paragraph&&) noexcept = default;

void Paragraph::draw(QPainter& painter, const QPointF& topLeft, const QColor& ink) const {
    painter.setPen(ink);
    for (const auto& layout : layouts_)
        layout->draw(&painter, topLeft);
}

QString fittingStart(const QString& text, const QFont& font, QPaintDevice* device,
                     const QSizeF& box) {
    if (!mayNotFit(text.size(), font.pointSizeF(), device->logicalDpiY(), box))
        return text;
    const QFontMetricsF metrics(font, device);
    // Generous on both counts: lines of half the font's height, and twice the width of each,
    // as ligatures and kerning make a text narrower than its characters.
    const double lines = std::floor(box.height() / (metrics.height() / 2)) + 1;
    const double room = 2 * lines * std::max(box.width(), 1.0);
    // Marks and joiners take no room of their own, but are counted as some.
    const double least = std::max(metrics.height() / 16, 1e-3);
    if (static_cast<double>(text.size()) * least <= room)
        return text;
    QHash<char32_t, double> advances;
    double taken = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype at = i;
        char32_t c = text[i++].unicode();
        if (QChar::isHighSurrogate(c) && i < text.size() && text[i].isLowSurrogate())
            c = QChar::surrogateToUcs4(static_cast<char16_t>(c), text[i++].unicode());
        auto found = advances.constFind(c);
        if (found == advances.constEnd())
            found = advances.insert(
                c, std::max(least, metrics.horizontalAdvance(QString::fromUcs4(&c, 1))));
        taken += *found;
        if (taken > room)
            return text.left(at);
    }
    return text;
}

bool mayNotFit(qsizetype length, double points, double dpi, const QSizeF& box) {
    // The bound below, without measuring: no font is three times as tall as its size.
    const double tallest = 3 * points * dpi / 72;
    return static_cast<double>(length) * tallest * tallest > 64 * box.width() * box.height();
}

} // namespace lexanta
