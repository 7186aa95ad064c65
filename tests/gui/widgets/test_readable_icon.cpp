// A style's picture that would vanish on the colour scheme in use (a black close cross on a
// dark scheme, as the platform theme hands it out) is drawn in the scheme's text colour; any
// other picture is shown as it is.
#include "gui/widgets/glyph_icon.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTest>

using namespace lexanta;

class TestReadableIcon : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QApplication::setPalette(QApplication::style()->standardPalette()); }

    void vanishingPictureTakesTheTextColour_data() {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("picture");
        QTest::addColumn<QColor>("shown");
        const QColor dark(0x22, 0x20, 0x20), light(0xef, 0xef, 0xef), orange(0xf0, 0xa0, 0x30);
        QTest::newRow("black on dark") << dark << light << QColor(Qt::black) << light;
        QTest::newRow("grey on dark") << dark << light << QColor(0x6c, 0x6a, 0x67) << light;
        QTest::newRow("orange on dark") << dark << light << orange << orange;
        QTest::newRow("black on light")
            << light << QColor(Qt::black) << QColor(Qt::black) << QColor(Qt::black);
    }
    void vanishingPictureTakesTheTextColour() {
        QFETCH(QColor, window);
        QFETCH(QColor, text);
        QFETCH(QColor, picture);
        QFETCH(QColor, shown);
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::WindowText, text);
        QApplication::setPalette(palette);
        QPixmap cross(16, 16);
        cross.fill(Qt::transparent);
        {
            QPainter painter(&cross);
            painter.fillRect(QRect(6, 0, 4, 16), picture);
        }
        const QIcon icon = readableIcon(QIcon(cross));
        const QImage image = icon.pixmap(QSize(16, 16)).toImage();
        QCOMPARE(image.pixelColor(8, 8).rgba(), shown.rgba());
        QCOMPARE(image.pixelColor(1, 1).alpha(), 0); // the shape stays the picture's
    }
};

QTEST_MAIN(TestReadableIcon)
#include "test_readable_icon.moc"
