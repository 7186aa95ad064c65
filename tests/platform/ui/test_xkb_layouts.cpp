#include "platform/x11/xkb_keyboard_layouts.h"
#include "support/xvfb_server.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <memory>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

using namespace lexanta;

namespace {

QString describe(const std::vector<XkbLayout>& groups) {
    QStringList parts;
    for (const XkbLayout& group : groups)
        parts << (group.variant.isEmpty()
                      ? group.layout
                      : QStringLiteral("%1(%2)").arg(group.layout, group.variant));
    return parts.join(QLatin1Char(','));
}

} // namespace

// Runs the XKB backend against a private Xvfb server.
class TestXkbLayouts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void readsConfiguredGroups();
    void activatesConfiguredLayout_data();
    void activatesConfiguredLayout();
    void unconfiguredLayoutChangesNothing_data();
    void unconfiguredLayoutChangesNothing();
    void seesSwitchMadeElsewhere();
    void variantsKeepTheirLanguage();
    void factoryPicksBackend();
    void missingDisplay();

private:
    // XKB's own view of the active group, through a connection of our own.
    int serverGroup() const;
    void lockServerGroup(int group) const;
    bool setLayouts(const QStringList& arguments) const;

    test::XvfbServer xvfb_;
    QString display_;
    Display* probe_ = nullptr;
};

void TestXkbLayouts::initTestCase() {
    if (const QString missing = test::XvfbServer::missingTools(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    const QString error = xvfb_.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    display_ = xvfb_.display();
    probe_ = XOpenDisplay(display_.toLatin1().constData());
    QVERIFY2(probe_, qPrintable(QStringLiteral("cannot open %1").arg(display_)));
}

void TestXkbLayouts::cleanupTestCase() {
    if (probe_)
        XCloseDisplay(probe_);
    xvfb_.stop();
}

void TestXkbLayouts::init() {
    QVERIFY(setLayouts({QStringLiteral("-layout"), QStringLiteral("us,ru,de")}));
    lockServerGroup(0);
}

bool TestXkbLayouts::setLayouts(const QStringList& arguments) const {
    return xvfb_.setxkbmap(arguments);
}

int TestXkbLayouts::serverGroup() const {
    XkbStateRec state{};
    return XkbGetState(probe_, XkbUseCoreKbd, &state) == Success ? state.group : -1;
}

void TestXkbLayouts::lockServerGroup(int group) const {
    XkbLockGroup(probe_, XkbUseCoreKbd, static_cast<unsigned int>(group));
    XSync(probe_, False);
}

void TestXkbLayouts::readsConfiguredGroups() {
    XkbKeyboardLayouts layouts(display_);
    QVERIFY(layouts.isOpen());
    QCOMPARE(describe(layouts.configuredGroups()), QStringLiteral("us,ru,de"));
    QCOMPARE(layouts.currentGroup(), 0);
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000409"));
}

void TestXkbLayouts::activatesConfiguredLayout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("current");
    QTest::newRow("russian") << "00000419" << 1 << "00000419";
    QTest::newRow("german") << "00000407" << 2 << "00000407";
    QTest::newRow("us after others") << "00000409" << 0 << "00000409";
    QTest::newRow("us dvorak name types english") << "00010409" << 0 << "00000409";
}

void TestXkbLayouts::activatesConfiguredLayout() {
    QFETCH(QString, name);
    QFETCH(int, group);
    QFETCH(QString, current);
    lockServerGroup(group == 0 ? 1 : 0); // start from another group
    XkbKeyboardLayouts layouts(display_);
    const LayoutHandle handle = layouts.loadLayout(name);
    QVERIFY(handle.isValid());
    QCOMPARE(handle.index, group);
    QVERIFY(serverGroup() != group); // loading does not activate
    layouts.activate(handle);
    QCOMPARE(serverGroup(), group);
    QCOMPARE(layouts.currentLayoutName(), current);
}

void TestXkbLayouts::unconfiguredLayoutChangesNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("greek") << "00000408";
    QTest::newRow("unknown language") << "00001234";
    QTest::newRow("malformed") << "0419";
    QTest::newRow("empty") << "";
}

void TestXkbLayouts::unconfiguredLayoutChangesNothing() {
    QFETCH(QString, name);
    lockServerGroup(2);
    XkbKeyboardLayouts layouts(display_);
    const LayoutHandle handle = layouts.loadLayout(name);
    QVERIFY(!handle.isValid());
    layouts.activate(handle);
    QCOMPARE(serverGroup(), 2);
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000407"));
    // A handle for a group the keymap does not have is refused as well.
    layouts.activate(LayoutHandle{QStringLiteral("00000408"), 3});
    QCOMPARE(serverGroup(), 2);
}

// The user switches with the desktop's own switcher; "update layout" must see it.
void TestXkbLayouts::seesSwitchMadeElsewhere() {
    XkbKeyboardLayouts layouts(display_);
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000409"));
    lockServerGroup(1);
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000419"));
    lockServerGroup(2);
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000407"));
}

void TestXkbLayouts::variantsKeepTheirLanguage() {
    QVERIFY(setLayouts({QStringLiteral("-layout"), QStringLiteral("us,ru,ru"),
                        QStringLiteral("-variant"), QStringLiteral(",phonetic,tt")}));
    lockServerGroup(0);
    XkbKeyboardLayouts layouts(display_);
    QCOMPARE(describe(layouts.configuredGroups()), QStringLiteral("us,ru(phonetic),ru(tt)"));
    layouts.activate(layouts.loadLayout(QStringLiteral("00000419")));
    QCOMPARE(serverGroup(), 1);
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000419"));
    layouts.activate(layouts.loadLayout(QStringLiteral("00000444")));
    QCOMPARE(serverGroup(), 2);
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000444"));
    QVERIFY(!layouts.loadLayout(QStringLiteral("00000407")).isValid());
}

void TestXkbLayouts::factoryPicksBackend() {
    const QByteArray saved = qgetenv("DISPLAY");
    qputenv("DISPLAY", display_.toLatin1());
    const std::unique_ptr<KeyboardLayouts> onX11 = createSystemKeyboardLayouts();
    qunsetenv("DISPLAY");
    const std::unique_ptr<KeyboardLayouts> without = createSystemKeyboardLayouts();
    if (saved.isNull())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", saved);

    const auto* xkb = dynamic_cast<XkbKeyboardLayouts*>(onX11.get());
    QVERIFY(xkb);
    QVERIFY(xkb->isOpen());
    onX11->activate(onX11->loadLayout(QStringLiteral("00000419")));
    QCOMPARE(serverGroup(), 1);
    QVERIFY(dynamic_cast<MemoryKeyboardLayouts*>(without.get()));
}

void TestXkbLayouts::missingDisplay() {
    XkbKeyboardLayouts layouts(QStringLiteral(":4321"));
    QVERIFY(!layouts.isOpen());
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000409"));
    QCOMPARE(layouts.currentGroup(), -1);
    QVERIFY(layouts.configuredGroups().empty());
    const LayoutHandle handle = layouts.loadLayout(QStringLiteral("00000419"));
    QVERIFY(!handle.isValid());
    layouts.activate(handle); // must not crash
}

// Nothing here draws, so no GUI application (and no platform plugin) is needed.
QTEST_GUILESS_MAIN(TestXkbLayouts)
#include "test_xkb_layouts.moc"
