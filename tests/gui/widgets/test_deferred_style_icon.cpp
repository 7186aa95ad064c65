// A style icon read on first paint looks exactly as the style's own icon, at any size, mode and
// screen scale.
#include "gui/widgets/deferred_style_icon.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QTest>
#include <QWidget>

using namespace lexanta;

namespace {

QImage painted(const QIcon& icon, int size, QIcon::Mode mode) {
    QImage image(size + 6, size + 6, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    icon.paint(&painter, QRect(3, 3, size, size), Qt::AlignCenter, mode);
    return image;
}

} // namespace

class TestDeferredStyleIcon : public QObject {
    Q_OBJECT

private slots:
    void looksAsTheStyleIcon_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("mode");
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<bool>("viaStyle"); // else deferredStyleIcon
        const std::pair<const char*, QStyle::StandardPixmap> icons[] = {
            {"arrow down", QStyle::SP_ArrowDown},
            {"arrow right", QStyle::SP_ArrowRight},
            {"file", QStyle::SP_FileIcon},
            {"close", QStyle::SP_DialogCloseButton}};
        for (const auto& [name, which] : icons)
            for (const int size : {16, 21, 48})
                for (const qreal scale : {1.0, 2.0})
                    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled})
                        for (const bool viaStyle : {false, true})
                            QTest::addRow("%s %d x%g %s%s", name, size, scale,
                                          mode == QIcon::Normal ? "normal" : "disabled",
                                          viaStyle ? " via the style" : "")
                                << int(which) << size << int(mode) << scale << viaStyle;
    }

    void looksAsTheStyleIcon() {
        QFETCH(int, which);
        QFETCH(int, size);
        QFETCH(int, mode);
        QFETCH(qreal, scale);
        QFETCH(bool, viaStyle);
        QWidget widget;
        const auto sp = static_cast<QStyle::StandardPixmap>(which);
        const auto m = static_cast<QIcon::Mode>(mode);
        const QIcon own = widget.style()->standardIcon(sp);
        DeferredIconStyle style(QStyleFactory::create(widget.style()->name()));
        const QIcon deferred =
            viaStyle ? style.standardIcon(sp, nullptr, &widget) : deferredStyleIcon(&widget, sp);
        QCOMPARE(deferred.isNull(), own.isNull());
        QCOMPARE(deferred.actualSize(QSize(size, size), m), own.actualSize(QSize(size, size), m));
        QCOMPARE(deferred.availableSizes(m), own.availableSizes(m));
        const QPixmap a = deferred.pixmap(QSize(size, size), scale, m);
        const QPixmap b = own.pixmap(QSize(size, size), scale, m);
        QCOMPARE(a.devicePixelRatio(), b.devicePixelRatio());
        QCOMPARE(a.toImage(), b.toImage());
        QCOMPARE(painted(deferred, size, m), painted(own, size, m));
    }
};

QTEST_MAIN(TestDeferredStyleIcon)
#include "test_deferred_style_icon.moc"
