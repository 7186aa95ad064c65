#include "gui/widgets/deferred_style_icon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace lexanta {

namespace {

// The style's icon, read once per style: kept as a property of the style, so it goes with it.
QIcon sharedStyleIcon(QStyle* style, QStyle::StandardPixmap which) {
    const QByteArray key = "lexanta_standard_icon_" + QByteArray::number(int(which));
    const QVariant kept = style->property(key.constData());
    if (kept.canConvert<QIcon>())
        return kept.value<QIcon>();
    const QIcon icon = style->standardIcon(which);
    style->setProperty(key.constData(), QVariant::fromValue(icon));
    return icon;
}

class DeferredStyleIconEngine : public QIconEngine {
public:
    DeferredStyleIconEngine(QStyle* style, QStyle::StandardPixmap which)
        : style_(style), which_(which) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    // QIcon scales for the screen around the engine: the style's icon is asked at scale 1.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, 1.0, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    QString iconName() override { return icon().name(); }
    // The styles have a picture for every standard icon; asking would read it.
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new DeferredStyleIconEngine(*this); }
    QString key() const override { return QStringLiteral("lexanta-deferred-style"); }

private:
    const QIcon& icon() {
        if (icon_.isNull())
            icon_ = sharedStyleIcon(style_ ? style_.data() : QApplication::style(), which_);
        return icon_;
    }

    QPointer<QStyle> style_; // replaced styles are deleted
    QStyle::StandardPixmap which_;
    QIcon icon_;
};

} // namespace

QIcon deferredStyleIcon(const QWidget* widget, QStyle::StandardPixmap which) {
    return QIcon(new DeferredStyleIconEngine(widget->style(), which));
}

} // namespace lexanta
