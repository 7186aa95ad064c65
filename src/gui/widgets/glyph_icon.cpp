#include "gui/widgets/glyph_icon.h"

#include "gui/widgets/display_colors.h"

#include <QApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace lexanta {

namespace {

class GlyphIconEngine : public QIconEngine {
public:
    GlyphIconEngine(QString text, QColor ink, qreal relativeSize)
        : text_(std::move(text)), ink_(ink), relativeSize_(relativeSize) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const QPalette palette = QApplication::palette();
        const QColor background = palette.color(QPalette::Window);
        QColor ink = readableOn(ink_, background);
        if (mode == QIcon::Disabled) {
            const QColor muted = palette.color(QPalette::Disabled, QPalette::WindowText);
            ink = QColor::fromRgbF((ink.redF() + muted.redF()) / 2,
                                   (ink.greenF() + muted.greenF()) / 2,
                                   (ink.blueF() + muted.blueF()) / 2, 0.6f);
        }
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setBold(true);
        font.setPixelSize(std::max(1, qRound(rect.height() * relativeSize_)));
        painter->save();
        painter->setRenderHint(QPainter::TextAntialiasing);
        painter->setFont(font);
        painter->setPen(ink);
        painter->drawText(rect, Qt::AlignCenter, text_);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, pixmap.rect(), mode, state);
        return pixmap;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new GlyphIconEngine(*this); }
    QString key() const override { return QStringLiteral("lexanta-glyph"); }

private:
    QString text_;
    QColor ink_;
    qreal relativeSize_;
};

// Icons are small and thin-lined: they need the contrast body text needs.
constexpr double kIconContrast = 4.5;

// The colour a picture's visible pixels average to.
QColor averageInk(const QImage& image) {
    double r = 0, g = 0, b = 0, weight = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            r += c.redF() * c.alphaF();
            g += c.greenF() * c.alphaF();
            b += c.blueF() * c.alphaF();
            weight += c.alphaF();
        }
    if (weight == 0)
        return {};
    return QColor::fromRgbF(float(r / weight), float(g / weight), float(b / weight));
}

class ReadableIconEngine : public QIconEngine {
public:
    explicit ReadableIconEngine(QIcon icon) : icon_(std::move(icon)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        painter->drawPixmap(rect, pixmap(rect.size() * scale, mode, state));
    }
    // QIcon scales for the screen around the engine: the picture is asked at scale 1.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap picture = icon_.pixmap(size, 1.0, mode, state);
        const QPalette palette = QApplication::palette();
        const QColor ink = averageInk(picture.toImage());
        if (!ink.isValid() || contrastRatio(ink, palette.color(QPalette::Window)) >= kIconContrast)
            return picture;
        const QPalette::ColorGroup group =
            mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active;
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(picture.rect(), palette.color(group, QPalette::WindowText));
        return picture;
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon_.actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon_.availableSizes(mode, state);
    }
    bool isNull() override { return icon_.isNull(); }
    QIconEngine* clone() const override { return new ReadableIconEngine(*this); }
    QString key() const override { return QStringLiteral("lexanta-readable"); }

private:
    QIcon icon_;
};

} // namespace

QIcon readableIcon(const QIcon& icon) {
    return QIcon(new ReadableIconEngine(icon));
}

QIcon glyphIcon(const QString& text, const QColor& ink, qreal relativeSize) {
    return QIcon(new GlyphIconEngine(text, ink, relativeSize));
}

} // namespace lexanta
