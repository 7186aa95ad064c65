// Layout switching through KWin's bus service, against a stand-in service on a private bus
// (with_fake_kwin.sh): the user's layouts are us, ru and de(nodeadkeys), us active.
#include "gui/desktop/kwin_keyboard_layouts.h"

#include <QCoreApplication>
#include <QTest>

using namespace lexanta;

class TestKWinKeyboardLayouts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
    }

    void switchByLanguage_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");       // -1: not among the user's layouts
        QTest::addColumn<QString>("current"); // the active layout's name afterwards
        QTest::newRow("Russian") << "00000419" << 1 << "00000419";
        QTest::newRow("German, any variant") << "00000407" << 2 << "00000407";
        QTest::newRow("back to English") << "00000409" << 0 << "00000409";
        QTest::newRow("Japanese: not configured") << "00000411" << -1 << "00000409";
        QTest::newRow("malformed") << "0419" << -1 << "00000409";
    }
    void switchByLanguage() {
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QString, current);
        KWinKeyboardLayouts layouts;
        layouts.activate(layouts.loadLayout(QStringLiteral("00000409")));
        QCOMPARE(layouts.configuredLayouts().size(), std::size_t(3));
        const LayoutHandle handle = layouts.loadLayout(name);
        QCOMPARE(handle.index, index);
        layouts.activate(handle);
        QCOMPARE(layouts.currentLayoutName(), current);
    }

    // Without the service every answer is the fallback, and nothing waits long.
    void noService() {
        KWinKeyboardLayouts layouts(QDBusConnection(QStringLiteral("none")));
        QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000409"));
        QVERIFY(!layouts.loadLayout(QStringLiteral("00000419")).isValid());
        QCOMPARE(layouts.currentIndex(), -1);
    }
};

QTEST_MAIN(TestKWinKeyboardLayouts)
#include "test_kwin_keyboard_layouts.moc"
