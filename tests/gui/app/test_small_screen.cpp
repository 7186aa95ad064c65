// A first start on a screen lower than the window's design size (a small laptop, a large scale
// factor) under a window manager (openbox on Xvfb): the title bar and the whole window stay in
// sight, so the window can be moved and its status bar read.
#include "support/window_fixture.h"

#include <QScreen>

#include "support/xvfb_server.h" // X11's macros come after every Qt header

using namespace lexanta;

class TestSmallScreen : public QObject {
    Q_OBJECT

public:
    TestSmallScreen(QString missing, QString startError)
        : missing_(std::move(missing)), startError_(std::move(startError)) {}

private slots:
    void initTestCase() {
        if (!missing_.isEmpty())
            QSKIP(qPrintable(missing_));
        QVERIFY2(startError_.isEmpty(), qPrintable(startError_));
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    }

    void firstStartFitsTheScreen() {
        test::Window w;
        MainWindow& form = *w.form;
        constexpr int kPatience = 30000; // the window manager answers slowly on a busy machine
        QTRY_VERIFY_WITH_TIMEOUT(form.frameGeometry().height() > form.height(), kPatience);
        const QRect area = form.screen()->availableGeometry();
        const QRect frame = form.frameGeometry(), inner = form.geometry();
        const QString where = QStringLiteral("frame %1,%2 %3x%4 on %5x%6")
                                  .arg(frame.x())
                                  .arg(frame.y())
                                  .arg(frame.width())
                                  .arg(frame.height())
                                  .arg(area.width())
                                  .arg(area.height());
        QVERIFY2(area.contains(frame.topLeft()), qPrintable(where));
        QVERIFY2(area.contains(inner), qPrintable(where));
        w.quit();
    }

private:
    QString missing_, startError_;
};

// A screen lower than the window's 600 pixels and its frame.
int main(int argc, char** argv) {
    return lexanta::test::execUnderWindowManager<TestSmallScreen>(argc, argv,
                                                                  QStringLiteral("1024x560x24"));
}

#include "test_small_screen.moc"
