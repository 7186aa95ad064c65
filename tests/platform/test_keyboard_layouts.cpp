#include "platform/keyboard_layouts.h"
#include "support/xkb_groups.h"

#include <QTest>

using namespace lexanta;
using lexanta::test::describe;

namespace {} // namespace

class TestKeyboardLayouts : public QObject {
    Q_OBJECT

private slots:
    void parseLayoutName_data();
    void parseLayoutName();
    void languagesMapBothWays();
    void layoutMapsBackToLanguage_data();
    void layoutMapsBackToLanguage();
    void groupsFromSymbols_data();
    void groupsFromSymbols();
    void groupsFromRulesNames();
    void groupForLayoutName_data();
    void groupForLayoutName();
    void memoryBackend();
};

void TestKeyboardLayouts::parseLayoutName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("value"); // -1: malformed
    QTest::newRow("variant word") << "00010409" << qint64(0x10409);
    QTest::newRow("lower case") << "0000041a" << qint64(0x41A);
    QTest::newRow("all digits") << "FFFFFFFF" << qint64(0xFFFFFFFF);
    QTest::newRow("short") << "409" << qint64(-1);
    QTest::newRow("long") << "000004090" << qint64(-1);
    QTest::newRow("not hex") << "0000040G" << qint64(-1);
    QTest::newRow("full-width digits") << QStringLiteral("００００0409") << qint64(-1);
}

void TestKeyboardLayouts::parseLayoutName() {
    QFETCH(QString, name);
    QFETCH(qint64, value);
    const auto parsed = lexanta::parseLayoutName(name);
    QCOMPARE(parsed ? qint64(*parsed) : qint64(-1), value);
}

// Every language that has a layout maps back to a language that loads the same
// layout; a few samples pin the layouts themselves.
void TestKeyboardLayouts::languagesMapBothWays() {
    int mapped = 0;
    for (int language = 0; language <= 0xFFFF; ++language) {
        const auto layout = xkbLayoutForLanguage(static_cast<std::uint16_t>(language));
        if (!layout)
            continue;
        ++mapped;
        const auto back = languageForXkbLayout(*layout);
        QVERIFY2(back && xkbLayoutForLanguage(*back) == layout, qPrintable(describe({*layout})));
    }
    QVERIFY(mapped > 40);
    const std::pair<int, const char*> samples[] = {
        {0x0409, "us"}, {0x0419, "ru"}, {0x0444, "ru(tt)"}, {0x0C0A, "es"}, {0x081A, "rs(latin)"}};
    for (const auto& [language, xkb] : samples)
        QCOMPARE(describe({*xkbLayoutForLanguage(static_cast<std::uint16_t>(language))}),
                 QString(xkb));
    QVERIFY(!xkbLayoutForLanguage(0x1234));
}

void TestKeyboardLayouts::layoutMapsBackToLanguage_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QString>("name"); // empty: unknown
    const auto row = [](const char* name, const char* layout, const char* variant,
                        const char* layoutName) {
        QTest::newRow(name) << QString(layout) << QString(variant) << QString(layoutName);
    };
    row("us", "us", "", "00000409");
    row("russian phonetic", "ru", "phonetic", "00000419");
    row("tatar", "ru", "tt", "00000444");
    row("serbian latin", "rs", "latin", "0000081A");
    row("swiss french", "ch", "fr", "0000100C");
    row("moldovan", "md", "", "00000418");
    row("unknown", "xx", "", "");
    row("empty", "", "", "");
}

void TestKeyboardLayouts::layoutMapsBackToLanguage() {
    QFETCH(QString, layout);
    QFETCH(QString, variant);
    QFETCH(QString, name);
    const auto language = languageForXkbLayout({layout, variant});
    QCOMPARE(language ? layoutNameForLanguage(*language) : QString(), name);
}

void TestKeyboardLayouts::groupsFromSymbols_data() {
    QTest::addColumn<QString>("symbols");
    QTest::addColumn<QString>("groups");
    const auto row = [](const char* name, const char* symbols, const char* groups) {
        QTest::newRow(name) << QString(symbols) << QString(groups);
    };
    row("three layouts", "pc+us+ru:2+de:3+inet(evdev)", "us,ru,de");
    row("one layout, options", "pc+us+inet(evdev)+group(alt_shift_toggle)+level3(ralt_switch)",
        "us");
    row("variants", "pc+de(nodeadkeys)+ru(phonetic):2", "de(nodeadkeys),ru(phonetic)");
    row("vendor model", "macintosh_vndr/apple(alukbd)+macintosh_vndr/us+ru:2", "us,ru");
    row("numbered option after layouts", "pc+us+ru:2+typo(base):2+kr(ralt_hangul)", "us,ru");
    row("override separator", "pc+us|ru:2", "us,ru");
    row("gap", "pc+us+de:3", "us,,de");
    row("four groups", "pc+us+ru:2+de:3+gr:4+fr:5", "us,ru,de,gr");
    row("only a model", "pc+inet(evdev)", "");
}

void TestKeyboardLayouts::groupsFromSymbols() {
    QFETCH(QString, symbols);
    QFETCH(QString, groups);
    QCOMPARE(describe(groupsFromXkbSymbols(symbols)), groups);
}

void TestKeyboardLayouts::groupsFromRulesNames() {
    QCOMPARE(describe(lexanta::groupsFromRulesNames("us,ru,de", ",phonetic,")),
             QStringLiteral("us,ru(phonetic),de"));
    QCOMPARE(describe(lexanta::groupsFromRulesNames("gb", QString())), QStringLiteral("gb"));
    QVERIFY(lexanta::groupsFromRulesNames(QString(), QString()).empty());
}

void TestKeyboardLayouts::groupForLayoutName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("configured");
    QTest::addColumn<int>("active");
    QTest::addColumn<int>("group");
    const QString usRuDe = QStringLiteral("pc+us+ru:2+de:3");
    const QString twoUs = QStringLiteral("pc+us+ru:2+us(intl):3");
    QTest::newRow("russian") << "00000419" << usRuDe << 0 << 1;
    QTest::newRow("german") << "00000407" << usRuDe << 1 << 2;
    QTest::newRow("lower case") << "0000041a" << QStringLiteral("pc+us+hr:2") << 0 << 1;
    QTest::newRow("variant word ignored") << "00010409" << usRuDe << 2 << 0;
    QTest::newRow("not configured") << "00000408" << usRuDe << 0 << -1;
    QTest::newRow("malformed") << "0409" << usRuDe << 0 << -1;
    QTest::newRow("unknown language") << "00001234" << usRuDe << 0 << -1;
    QTest::newRow("two of a language, active kept") << "00000409" << twoUs << 2 << 2;
    QTest::newRow("two of a language, first") << "00000409" << twoUs << 1 << 0;
    QTest::newRow("phonetic russian")
        << "00000419" << QStringLiteral("pc+us+ru(phonetic):2") << 0 << 1;
    QTest::newRow("tatar is not russian")
        << "00000419" << QStringLiteral("pc+us+ru(tt):2") << 0 << -1;
    QTest::newRow("active out of range") << "00000419" << usRuDe << 7 << 1;
    QTest::newRow("no groups") << "00000409" << QString() << 0 << -1;
}

void TestKeyboardLayouts::groupForLayoutName() {
    QFETCH(QString, name);
    QFETCH(QString, configured);
    QFETCH(int, active);
    QFETCH(int, group);
    QCOMPARE(lexanta::groupForLayoutName(name, groupsFromXkbSymbols(configured), active), group);
}

// Loading is not activating; names come back upper-case; bad or forged handles
// change nothing.
void TestKeyboardLayouts::memoryBackend() {
    MemoryKeyboardLayouts layouts(QStringList{"00000409", "0000041F"}, "00000409");
    const LayoutHandle turkish = layouts.loadLayout("0000041f");
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000409"));
    for (const char* name : {"0419", "hello!!!", "00000419"}) {
        const LayoutHandle handle = layouts.loadLayout(name);
        QVERIFY2(!handle.isValid(), name);
        layouts.activate(handle);
    }
    layouts.activate(LayoutHandle{"00000419", 0});
    QVERIFY(layouts.activationHistory().isEmpty());
    layouts.activate(turkish);
    QCOMPARE(layouts.activationHistory(), QStringList("0000041F"));
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("0000041F"));
}

QTEST_APPLESS_MAIN(TestKeyboardLayouts)
#include "test_keyboard_layouts.moc"
