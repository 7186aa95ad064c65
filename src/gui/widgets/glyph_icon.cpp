#include "gui/widgets/glyph_icon.h"

#include "gui/widgets/display_colors.h"

#include <QApplication>
#include <QIconEngine>
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

} // namespace

QIcon glyphIcon(const QString& text, const QColor& ink, qreal relativeSize) {
    return QIcon(new GlyphIconEngine(text, ink, relativeSize));
}

} // namespace lexanta
