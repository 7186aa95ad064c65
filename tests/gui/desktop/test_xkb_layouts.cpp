// The XKB backend against a private Xvfb server.
#include "gui/desktop/xkb_keyboard_layouts.h"
#include "support/xkb_groups.h"

#include <QTest>

#include <memory>

#include "support/xvfb_server.h" // X11's macros come after every Qt header

using namespace lexanta;
using lexanta::test::describe;

class TestXkbLayouts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        LEXANTA_START_XVFB(xvfb_.start());
        display_ = xvfb_.display();
    }
    void cleanupTestCase() { xvfb_.stop(); }
    void init() {
        QVERIFY(xvfb_.setTestGroups());
        xvfb_.lockGroup(0);
    }

    // The groups as configured, and a switch made with the desktop's own switcher (which
    // "update layout" must see).
    void readsGroupsAndTheActiveOne() {
        XkbKeyboardLayouts layouts(display_);
        QVERIFY(layouts.isOpen());
        QCOMPARE(describe(layouts.configuredGroups()), QStringLiteral("us,ru,de"));
        QCOMPARE(layouts.currentGroup(), 0);
        QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000409"));
        xvfb_.lockGroup(2);
        QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000407"));
    }

    void activatesConfiguredLayout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("group");
        QTest::addColumn<QString>("current");
        QTest::newRow("russian") << "00000419" << 1 << "00000419";
        QTest::newRow("german") << "00000407" << 2 << "00000407";
        QTest::newRow("us after others") << "00000409" << 0 << "00000409";
        QTest::newRow("us dvorak name types english") << "00010409" << 0 << "00000409";
    }
    void activatesConfiguredLayout() {
        QFETCH(QString, name);
        QFETCH(int, group);
        QFETCH(QString, current);
        xvfb_.lockGroup(group == 0 ? 1 : 0); // start from another group
        XkbKeyboardLayouts layouts(display_);
        const LayoutHandle handle = layouts.loadLayout(name);
        QCOMPARE(handle.index, group);
        QVERIFY(xvfb_.group() != group); // loading does not activate
        layouts.activate(handle);
        QCOMPARE(xvfb_.group(), group);
        QCOMPARE(layouts.currentLayoutName(), current);
    }

    void unconfiguredLayoutChangesNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("greek") << "00000408";
        QTest::newRow("unknown language") << "00001234";
        QTest::newRow("malformed") << "0419";
        QTest::newRow("empty") << "";
    }
    void unconfiguredLayoutChangesNothing() {
        QFETCH(QString, name);
        xvfb_.lockGroup(2);
        XkbKeyboardLayouts layouts(display_);
        const LayoutHandle handle = layouts.loadLayout(name);
        QVERIFY(!handle.isValid());
        layouts.activate(handle);
        QCOMPARE(xvfb_.group(), 2);
        // A handle for a group the keymap does not have is refused as well.
        layouts.activate(LayoutHandle{QStringLiteral("00000408"), 3});
        QCOMPARE(xvfb_.group(), 2);
    }

    void variantsKeepTheirLanguage() {
        QVERIFY(xvfb_.setxkbmap({QStringLiteral("-layout"), QStringLiteral("us,ru,ru"),
                                 QStringLiteral("-variant"), QStringLiteral(",phonetic,tt")}));
        xvfb_.lockGroup(0);
        XkbKeyboardLayouts layouts(display_);
        QCOMPARE(describe(layouts.configuredGroups()), QStringLiteral("us,ru(phonetic),ru(tt)"));
        layouts.activate(layouts.loadLayout(QStringLiteral("00000444")));
        QCOMPARE(xvfb_.group(), 2);
        QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000444"));
        layouts.activate(layouts.loadLayout(QStringLiteral("00000419")));
        QCOMPARE(xvfb_.group(), 1);
        QVERIFY(!layouts.loadLayout(QStringLiteral("00000407")).isValid());
    }

    // XKB only where Qt itself runs on X11.
    void factoryPicksBackend_data() {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<bool>("display");
        QTest::addColumn<bool>("xkb");
        QTest::newRow("xcb") << "xcb" << true << true;
        QTest::newRow("xcb without display") << "xcb" << false << false;
        QTest::newRow("offscreen") << "offscreen" << true << false;
        QTest::newRow("wayland") << "wayland" << true << false;
    }
    void factoryPicksBackend() {
        QFETCH(QString, platform);
        QFETCH(bool, display);
        QFETCH(bool, xkb);
        const QByteArray saved = qgetenv("DISPLAY");
        display ? qputenv("DISPLAY", display_.toLatin1()) : qunsetenv("DISPLAY");
        const std::unique_ptr<KeyboardLayouts> layouts = createSystemKeyboardLayouts(platform);
        saved.isNull() ? qunsetenv("DISPLAY") : qputenv("DISPLAY", saved);
        const auto* x = dynamic_cast<XkbKeyboardLayouts*>(layouts.get());
        QCOMPARE(x != nullptr, xkb);
        QVERIFY(xkb ? x->isOpen() : dynamic_cast<MemoryKeyboardLayouts*>(layouts.get()) != nullptr);
    }

    void missingDisplay() {
        XkbKeyboardLayouts layouts(QStringLiteral(":4321"));
        QVERIFY(!layouts.isOpen());
        QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000409"));
        QCOMPARE(layouts.currentGroup(), -1);
        QVERIFY(layouts.configuredGroups().empty());
        const LayoutHandle handle = layouts.loadLayout(QStringLiteral("00000419"));
        QVERIFY(!handle.isValid());
        layouts.activate(handle); // must not crash
    }

private:
    test::XvfbServer xvfb_;
    QString display_;
};

// Nothing here draws, so no GUI application (and no platform plugin) is needed.
QTEST_GUILESS_MAIN(TestXkbLayouts)
#include "test_xkb_layouts.moc"
