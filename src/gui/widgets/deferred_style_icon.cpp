#include "gui/widgets/deferred_style_icon.h"

#include "gui/widgets/glyph_icon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPointer>
#include <QStyleFactory>
#include <QVariant>
#include <QWidget>

#include <functional>

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
    explicit DeferredStyleIconEngine(std::function<QIcon()> make) : make_(std::move(make)) {}

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
        if (!made_) {
            made_ = true;
            icon_ = make_();
        }
        return icon_;
    }

    std::function<QIcon()> make_;
    QIcon icon_;
    bool made_ = false;
};

} // namespace

QIcon deferredStyleIcon(const QWidget* widget, QStyle::StandardPixmap which) {
    return QIcon(new DeferredStyleIconEngine([style = QPointer<QStyle>(widget->style()), which] {
        // A style replaced meanwhile is gone: the one in use then.
        return sharedStyleIcon(style ? style.data() : QApplication::style(), which);
    }));
}

QIcon DeferredIconStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                      const QWidget* widget) const {
    // The styles draw the title bar buttons of a dock (and of a floating one) in black or grey
    // whatever the palette: on a dark scheme they would vanish.
    switch (which) {
    case SP_TitleBarCloseButton:
    case SP_TitleBarNormalButton:
    case SP_DockWidgetCloseButton:
        return readableIcon(deferredStandardIcon(which, option, widget));
    default:
        return deferredStandardIcon(which, option, widget);
    }
}

QIcon DeferredIconStyle::deferredStandardIcon(StandardPixmap which, const QStyleOption* option,
                                              const QWidget* widget) const {
    // An option is the caller's and lives only for this call.
    if (option)
        return QProxyStyle::standardIcon(which, option, widget);
    return QIcon(new DeferredStyleIconEngine([base = QPointer<QStyle>(baseStyle()),
                                              control = QPointer<const QWidget>(widget),
                                              forControl = widget != nullptr, which] {
        if (!base)
            return QIcon();
        return base->standardIcon(which, nullptr, forControl ? control.data() : nullptr);
    }));
}

void deferApplicationStyleIcons() {
    if (QStyle* base = QStyleFactory::create(QApplication::style()->name()))
        QApplication::setStyle(new DeferredIconStyle(base));
}

} // namespace lexanta
