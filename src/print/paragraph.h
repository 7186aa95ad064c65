#pragma once

// A text laid out in one font to a width, and cut, with a mark, where it would leave its box.

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QSizeF>
#include <QString>

#include <limits>
#include <memory>
#include <vector>

class QPainter;
class QPaintDevice;
class QTextLayout;

namespace lexanta {

// No text is printed smaller than this (the smallest size word processors offer): what does
// not fit its box at this size is cut, and the cut marked.
inline constexpr double kMinPrintPoints = 1.0;
// Ends the last line shown of a text that was cut.
inline constexpr char16_t kCutMark = u'\u2026';

// Words longer than a line break anywhere, or with `wholeWords` stick out of it (width()
// tells). Lines that would pass `maxHeight` are left out and the last line kept ends in the
// cut mark, as it does with `markEnd`; the first line is always kept.
class Paragraph {
public:
    static constexpr double kUnbounded = std::numeric_limits<double>::infinity();

    Paragraph(const QString& text, const QFont& font, QPaintDevice* device, double width,
              Qt::Alignment alignment = Qt::AlignLeft, bool wholeWords = false,
              double maxHeight = kUnbounded, bool markEnd = false);
    ~Paragraph();
    Paragraph(Paragraph&&) noexcept;
    Paragraph& operator=(Paragraph&&) noexcept;

    double height() const { return height_; }
    double width() const { return width_; } // the widest line
    // From the top to the baseline of the last line.
    double lastBaseline() const { return lastBaseline_; }
    bool cut() const { return cut_; }
    void draw(QPainter& painter, const QPointF& topLeft, const QColor& ink) const;

private:
    // One below the other, each beginning on a line of its own.
    std::vector<std::unique_ptr<QTextLayout>> layouts_;
    double height_ = 0, width_ = 0, lastBaseline_ = 0;
    bool cut_ = false;
};

// The start of `text` that holds at least all of it that `font` can fit in `box`, so that no
// more than that need be laid out.
QString fittingStart(const QString& text, const QFont& font, QPaintDevice* device,
                     const QSizeF& box);
// False when a text of `length` characters surely fits in `box` (in device units of `dpi`) at
// `points` points: then fittingStart() would return it whole, and need not be asked.
bool mayNotFit(qsizetype length, double points, double dpi, const QSizeF& box);

} // namespace lexanta
