// The window on the colour scheme in use: every field's text stands out from its background in
// a light and a dark scheme, also after the scheme changes while the editor runs, and the tool
// bar glyphs are drawn for the screen's scale.
#include "gui/widgets/deferred_style_icon.h"
#include "support/window_fixture.h"

#include <QAbstractButton>
#include <QDockWidget>
#include <QRegularExpression>

#include <QIcon>
#include <QPainter>
#include <QPalette>
#include <QStyle>

using namespace lexanta;
using namespace lexanta::test;

namespace {

QPalette darkPalette() {
    QPalette p;
    const QColor window(0x35, 0x35, 0x35), base(0x2a, 0x2a, 0x2a), light(0xf0, 0xf0, 0xf0);
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Window, window);
        p.setColor(group, QPalette::Button, window);
        p.setColor(group, QPalette::Base, base);
        p.setColor(group, QPalette::AlternateBase, window);
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            p.setColor(group, role, light);
    }
    return p;
}

// WCAG's contrast of two colours, 1 to 21.
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The strongest contrast any pixel of `area` has with `background`: the core of a glyph.
double inkContrast(const QImage& image, const QRect& area, const QColor& background) {
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            best = std::max(best, contrast(image.pixelColor(x, y), background));
    return best;
}

// The colour a picture's visible pixels average to: the bulk of its lines, not one pixel.
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
    return QColor::fromRgbF(float(r / weight), float(g / weight), float(b / weight));
}

constexpr double kReadable = 3.0;

} // namespace

class TestDesktopLook : public QObject {
    Q_OBJECT

private slots:
    // the editor's style, as its start sets it
    void initTestCase() { deferApplicationStyleIcons(); }
    void cleanup() { QApplication::setPalette(QApplication::style()->standardPalette()); }

    void fieldTextStandsOut_data() {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<bool>("changedWhileRunning");
        QTest::newRow("light scheme") << false << false;
        QTest::newRow("dark scheme") << true << false;
        QTest::newRow("dark scheme chosen while running") << true << true;
        QTest::newRow("back to light while running") << false << true;
    }
    // Question in the window-text colour, answer navy, comment yellow: each column's text
    // differs from the cell's background, and so does each input box's.
    void fieldTextStandsOut() {
        QFETCH(bool, dark);
        QFETCH(bool, changedWhileRunning);
        const QPalette scheme = dark ? darkPalette() : QApplication::style()->standardPalette();
        const QPalette other = dark ? QApplication::style()->standardPalette() : darkPalette();
        QApplication::setPalette(changedWhileRunning ? other : scheme);
        Window w;
        const std::int32_t colors[] = {kColorWindowText, kColorNavy, 0x00FFFF};
        for (int field = 0; field < 3; ++field) {
            FieldFont font = w.doc().font(field);
            font.color = colors[field];
            font.bold = true;
            w.doc().setFont(field, font);
            w.box(field)->setText(QStringLiteral("WWWW"));
        }
        const std::int32_t fileColors[] = {w.doc().font(0).color, w.doc().font(1).color,
                                           w.doc().font(2).color};
        w.setRows({QStringLiteral("WWWW|WWWW|WWWW")});
        w.clickBox(0); // the grid's editor leaves the first cell; every cell is painted
        if (changedWhileRunning)
            QApplication::setPalette(scheme);
        QApplication::processEvents();

        const QImage grid = w.grid()->viewport()->grab().toImage();
        const qreal ratio = grid.devicePixelRatio();
        const QColor base = scheme.color(QPalette::Base);
        for (int field = 0; field < 3; ++field) {
            const QRect cell = w.grid()->visualRect(w.grid()->model()->index(0, field)) &
                               w.grid()->viewport()->rect();
            const QRect inside(cell.topLeft() * ratio, cell.size() * ratio);
            QCOMPARE(grid.pixelColor(inside.bottomRight() - QPoint(1, 1)), base);
            QVERIFY2(inkContrast(grid, inside, base) >= kReadable,
                     qPrintable(QStringLiteral("column %1").arg(field + 1)));
            const QImage box = w.box(field)->grab().toImage();
            const QColor boxBase = box.pixelColor(box.width() / 2, 2);
            QVERIFY2(inkContrast(box, box.rect().adjusted(2, 2, -30, -2), boxBase) >= kReadable,
                     qPrintable(QStringLiteral("box %1").arg(field + 1)));
            // the file keeps the colours it names
            QCOMPARE(w.doc().font(field).color, fileColors[field]);
        }
        // the tool bar glyphs and the style's pictures stand out from the bar, and so do the
        // check panel's title bar buttons
        const QColor bar = scheme.color(QPalette::Window);
        w.action("CheckList1")->trigger();
        QList<QAbstractButton*> buttons =
            w.form->findChild<QDockWidget*>()->findChildren<QAbstractButton*>(
                QRegularExpression(QStringLiteral("^qt_dock")));
        QCOMPARE(buttons.size(), 2);
        for (const char* name : {"SpeedItem1", "SpeedItem11Swap", "SpeedItemHelp", "SpeedItem8"})
            buttons << w.button(name);
        for (const QAbstractButton* button : buttons) {
            const QImage glyph = button->icon().pixmap(QSize(28, 28)).toImage();
            QImage onBar(glyph.size(), QImage::Format_RGB32);
            onBar.fill(bar);
            QPainter(&onBar).drawImage(0, 0, glyph);
            QVERIFY2(inkContrast(onBar, onBar.rect(), bar) >= kReadable,
                     qPrintable(button->objectName()));
            QVERIFY2(contrast(averageInk(glyph), bar) >= kReadable,
                     qPrintable(button->objectName()));
        }
    }

    // At twice the scale a tool bar glyph has twice the pixels, drawn, not enlarged.
    void glyphsSharpAtEveryScale_data() {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("1x") << 1.0;
        QTest::newRow("1.5x") << 1.5;
        QTest::newRow("2x") << 2.0;
        QTest::newRow("3x") << 3.0;
    }
    void glyphsSharpAtEveryScale() {
        QFETCH(qreal, scale);
        Window w(false);
        for (QToolButton* button : w.form->speedBar()->allButtons()) {
            const QSize size = button->iconSize();
            const QPixmap pixmap = button->icon().pixmap(size, scale);
            QVERIFY2(pixmap.width() >= qRound(size.width() * scale) &&
                         pixmap.height() >= qRound(size.height() * scale),
                     qPrintable(button->objectName()));
        }
    }
};

QTEST_MAIN(TestDesktopLook)
#include "test_desktop_look.moc"
