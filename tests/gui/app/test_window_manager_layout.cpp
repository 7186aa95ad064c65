// The window as a window manager frames it (openbox on Xvfb): at every size the grid, its
// scroll bars and, after Ctrl+End, its last row lie inside the space the window really has.
// With LEXANTA_SCREENSHOTS set to a folder, each case also leaves a picture of the screen.
#include "support/window_fixture.h"

#include <QDebug>
#include <QDir>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>

#include "support/xvfb_server.h" // X11's macros come after every Qt header

using namespace lexanta;

namespace {

// Where `widget` would be cut off by one of its parents up to the window's central widget.
QString clippedBy(const QWidget* widget, const QWidget* central) {
    QString where;
    for (const QWidget* w = widget; w != central && where.isEmpty(); w = w->parentWidget())
        if (!w->parentWidget() || !w->parentWidget()->rect().contains(w->geometry()))
            QDebug(&where) << w << w->geometry() << "outside" << w->parentWidget();
    return where;
}

} // namespace

class TestWindowManagerLayout : public QObject {
    Q_OBJECT

public:
    TestWindowManagerLayout(QString missing, QString startError)
        : missing_(std::move(missing)), startError_(std::move(startError)) {}

private slots:
    void initTestCase() {
        if (!missing_.isEmpty())
            QSKIP(qPrintable(missing_));
        QVERIFY2(startError_.isEmpty(), qPrintable(startError_));
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    }

    void lastEntryAndScrollBarsShown_data() {
        QTest::addColumn<QSize>("size"); // empty: maximised
        QTest::addColumn<bool>("horizontalBar");
        QTest::newRow("646x510") << QSize(646, 510) << true;
        QTest::newRow("900x700") << QSize(900, 700) << false;
        QTest::newRow("maximised") << QSize() << false;
    }
    void lastEntryAndScrollBarsShown() {
        QFETCH(QSize, size);
        QFETCH(bool, horizontalBar);
        test::Window w;
        MainWindow& form = *w.form;
        // a frame from the window manager: the outer size is not the window's own
        constexpr int kPatience = 30000; // the window manager answers slowly on a busy machine
        QTRY_VERIFY_WITH_TIMEOUT(form.frameGeometry().height() > form.height(), kPatience);
        if (size.isEmpty()) {
            form.showMaximized();
            QTRY_VERIFY_WITH_TIMEOUT(form.isMaximized() && form.width() > 900, kPatience);
        } else {
            form.resize(size);
            QTRY_COMPARE_WITH_TIMEOUT(form.size(), size, kPatience);
        }
        QStringList rows;
        for (int i = 1; i <= 2000; ++i)
            rows << QStringLiteral("word %1|answer %1|comment %1").arg(i);
        w.setRows(rows);
        form.grid()->setFocus();
        test::Window::key(Qt::Key_End, Qt::ControlModifier);
        QApplication::processEvents();
        EntryGrid* grid = form.grid();
        QCOMPARE(grid->row(), 2000);
        QCOMPARE(w.boxTexts().first(), QStringLiteral("word 2000"));

        const QWidget* central = form.centralWidget();
        QCOMPARE(clippedBy(grid, central), QString());
        QCOMPARE(grid->verticalScrollBar()->isVisible(), true);
        QCOMPARE(grid->horizontalScrollBar()->isVisible(), horizontalBar);
        for (const QScrollBar* bar : {grid->verticalScrollBar(), grid->horizontalScrollBar()})
            if (bar->isVisible())
                QCOMPARE(clippedBy(bar, central), QString());
        const QRect last = grid->visualRect(grid->currentIndex()); // the last row's current cell
        QVERIFY2(last.top() >= 0 && last.bottom() < grid->viewport()->height(),
                 qPrintable(QStringLiteral("current cell %1,%2 %3x%4 in viewport %5x%6")
                                .arg(last.x())
                                .arg(last.y())
                                .arg(last.width())
                                .arg(last.height())
                                .arg(grid->viewport()->width())
                                .arg(grid->viewport()->height())));
        QCOMPARE(clippedBy(grid->viewport(), central), QString());

        if (const QByteArray folder = qgetenv("LEXANTA_SCREENSHOTS"); !folder.isEmpty()) {
            QTest::qWait(300); // let the frame and the grid paint
            const QString file = QDir(QString::fromLocal8Bit(folder))
                                     .filePath(QString::fromLatin1(QTest::currentDataTag()) +
                                               QStringLiteral(".png"));
            QVERIFY(form.screen()->grabWindow(0).save(file));
        }
        w.quit();
    }

private:
    QString missing_, startError_;
};

// The window runs on the X server that openbox manages, whatever the test runner set; the
// screen has room for a 900 x 700 window with its frame.
int main(int argc, char** argv) {
    return lexanta::test::execUnderWindowManager<TestWindowManagerLayout>(
        argc, argv, QStringLiteral("1280x1024x24"));
}

#include "test_window_manager_layout.moc"
