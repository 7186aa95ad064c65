#include "platform/keyboard_layouts.h"

#include <QTest>

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

class TestKeyboardLayouts : public QObject {
    Q_OBJECT

private slots:
    void parseLayoutName_data();
    void parseLayoutName();
    void languageTable_data();
    void languageTable();
    void layoutMapsBackToLanguage_data();
    void layoutMapsBackToLanguage();
    void groupsFromSymbols_data();
    void groupsFromSymbols();
    void groupsFromRulesNames();
    void groupForLayoutName_data();
    void groupForLayoutName();
    void memoryBackendActivates();
    void memoryBackendRejects_data();
    void memoryBackendRejects();
};

void TestKeyboardLayouts::parseLayoutName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("value"); // -1: malformed
    QTest::newRow("us") << "00000409" << qint64(0x409);
    QTest::newRow("variant word") << "00010409" << qint64(0x10409);
    QTest::newRow("lower case") << "0000041a" << qint64(0x41A);
    QTest::newRow("all digits") << "FFFFFFFF" << qint64(0xFFFFFFFF);
    QTest::newRow("short") << "409" << qint64(-1);
    QTest::newRow("long") << "000004090" << qint64(-1);
    QTest::newRow("not hex") << "0000040G" << qint64(-1);
    QTest::newRow("blank inside") << "0000 409" << qint64(-1);
    QTest::newRow("empty") << "" << qint64(-1);
    QTest::newRow("full-width digits") << QStringLiteral("００００0409") << qint64(-1);
}

void TestKeyboardLayouts::parseLayoutName() {
    QFETCH(QString, name);
    QFETCH(qint64, value);
    const auto parsed = lexanta::parseLayoutName(name);
    QCOMPARE(parsed ? qint64(*parsed) : qint64(-1), value);
}

void TestKeyboardLayouts::languageTable_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("xkb");
    const std::pair<int, const char*> rows[] = {
        {0x0409, "us"},     {0x0809, "gb"}, {0x0419, "ru"},        {0x0407, "de"}, {0x0807, "ch"},
        {0x040C, "fr"},     {0x080C, "be"}, {0x0410, "it"},        {0x040A, "es"}, {0x0C0A, "es"},
        {0x0416, "br"},     {0x0816, "pt"}, {0x0413, "nl"},        {0x0422, "ua"}, {0x0423, "by"},
        {0x0415, "pl"},     {0x0405, "cz"}, {0x041B, "sk"},        {0x040E, "hu"}, {0x0408, "gr"},
        {0x041F, "tr"},     {0x040D, "il"}, {0x0401, "ara"},       {0x0429, "ir"}, {0x0411, "jp"},
        {0x0412, "kr"},     {0x0404, "tw"}, {0x0804, "cn"},        {0x041E, "th"}, {0x042A, "vn"},
        {0x041D, "se"},     {0x0414, "no"}, {0x0406, "dk"},        {0x040B, "fi"}, {0x0425, "ee"},
        {0x0426, "lv"},     {0x0427, "lt"}, {0x0418, "ro"},        {0x0402, "bg"}, {0x041A, "hr"},
        {0x0424, "si"},     {0x0C1A, "rs"}, {0x042F, "mk"},        {0x043F, "kz"}, {0x0443, "uz"},
        {0x0444, "ru(tt)"}, {0x0437, "ge"}, {0x042B, "am"},        {0x0439, "in"}, {0x0420, "pk"},
        {0x0421, "id"},     {0x040F, "is"}, {0x081A, "rs(latin)"},
    };
    for (const auto& [language, xkb] : rows)
        QTest::addRow("%04X %s", language, xkb) << language << QString::fromLatin1(xkb);
}

// Every language of the table has a layout, and the layout's language, named
// back, is a name that loads the same layout.
void TestKeyboardLayouts::languageTable() {
    QFETCH(int, language);
    QFETCH(QString, xkb);
    const auto layout = xkbLayoutForLanguage(static_cast<std::uint16_t>(language));
    QVERIFY(layout);
    QCOMPARE(describe({*layout}), xkb);
    const auto back = languageForXkbLayout(*layout);
    QVERIFY(back);
    QCOMPARE(xkbLayoutForLanguage(*back), layout);
}

void TestKeyboardLayouts::layoutMapsBackToLanguage_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QString>("name"); // empty: unknown
    QTest::newRow("us") << "us"
                        << ""
                        << "00000409";
    QTest::newRow("russian") << "ru"
                             << ""
                             << "00000419";
    QTest::newRow("russian phonetic") << "ru"
                                      << "phonetic"
                                      << "00000419";
    QTest::newRow("tatar") << "ru"
                           << "tt"
                           << "00000444";
    QTest::newRow("german no dead keys") << "de"
                                         << "nodeadkeys"
                                         << "00000407";
    QTest::newRow("spanish") << "es"
                             << ""
                             << "0000040A";
    QTest::newRow("norwegian") << "no"
                               << ""
                               << "00000414";
    QTest::newRow("belgian") << "be"
                             << ""
                             << "0000080C";
    QTest::newRow("serbian latin") << "rs"
                                   << "latin"
                                   << "0000081A";
    QTest::newRow("swiss french") << "ch"
                                  << "fr"
                                  << "0000100C";
    QTest::newRow("moldovan") << "md"
                              << ""
                              << "00000418";
    QTest::newRow("unknown") << "xx"
                             << ""
                             << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
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
    QTest::newRow("three layouts") << "pc+us+ru:2+de:3+inet(evdev)"
                                   << "us,ru,de";
    QTest::newRow("one layout, options")
        << "pc+us+inet(evdev)+group(alt_shift_toggle)+level3(ralt_switch)"
        << "us";
    QTest::newRow("variant") << "pc+us+ru(phonetic):2+inet(evdev)"
                             << "us,ru(phonetic)";
    QTest::newRow("first has variant") << "pc+de(nodeadkeys)+us:2"
                                       << "de(nodeadkeys),us";
    QTest::newRow("vendor model") << "macintosh_vndr/apple(alukbd)+macintosh_vndr/us+ru:2"
                                  << "us,ru";
    QTest::newRow("numbered option after layouts") << "pc+us+ru:2+typo(base):2+kr(ralt_hangul)"
                                                   << "us,ru";
    QTest::newRow("override separator") << "pc+us|ru:2"
                                        << "us,ru";
    QTest::newRow("gap") << "pc+us+de:3"
                         << "us,,de";
    QTest::newRow("four groups") << "pc+us+ru:2+de:3+gr:4+fr:5"
                                 << "us,ru,de,gr";
    QTest::newRow("only a model") << "pc+inet(evdev)"
                                  << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestKeyboardLayouts::groupsFromSymbols() {
    QFETCH(QString, symbols);
    QFETCH(QString, groups);
    QCOMPARE(describe(groupsFromXkbSymbols(symbols)), groups);
}

void TestKeyboardLayouts::groupsFromRulesNames() {
    QCOMPARE(describe(lexanta::groupsFromRulesNames(QStringLiteral("us,ru,de"),
                                                    QStringLiteral(",phonetic,"))),
             QStringLiteral("us,ru(phonetic),de"));
    QCOMPARE(describe(lexanta::groupsFromRulesNames(QStringLiteral("gb"), QString())),
             QStringLiteral("gb"));
    QVERIFY(lexanta::groupsFromRulesNames(QString(), QString()).empty());
}

void TestKeyboardLayouts::groupForLayoutName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("configured");
    QTest::addColumn<int>("active");
    QTest::addColumn<int>("group");
    const QString usRuDe = QStringLiteral("pc+us+ru:2+de:3");
    QTest::newRow("russian") << "00000419" << usRuDe << 0 << 1;
    QTest::newRow("german") << "00000407" << usRuDe << 1 << 2;
    QTest::newRow("already active") << "00000409" << usRuDe << 0 << 0;
    QTest::newRow("lower case") << "0000041a" << QStringLiteral("pc+us+hr:2") << 0 << 1;
    QTest::newRow("variant word ignored") << "00010409" << usRuDe << 2 << 0;
    QTest::newRow("not configured") << "00000408" << usRuDe << 0 << -1;
    QTest::newRow("malformed") << "0409" << usRuDe << 0 << -1;
    QTest::newRow("unknown language") << "00001234" << usRuDe << 0 << -1;
    QTest::newRow("two of a language, active kept")
        << "00000409" << QStringLiteral("pc+us+ru:2+us(intl):3") << 2 << 2;
    QTest::newRow("two of a language, first")
        << "00000409" << QStringLiteral("pc+us+ru:2+us(intl):3") << 1 << 0;
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

void TestKeyboardLayouts::memoryBackendActivates() {
    MemoryKeyboardLayouts layouts;
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000409"));
    const LayoutHandle russian = layouts.loadLayout(QStringLiteral("00000419"));
    QVERIFY(russian.isValid());
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000409")); // loading is not activating
    layouts.activate(russian);
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000419"));
    layouts.setCurrentLayoutName(QStringLiteral("00000407"));
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000407"));
    layouts.activate(layouts.loadLayout(QStringLiteral("0000041f")));
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("0000041F"));
    QCOMPARE(layouts.activationHistory(),
             QStringList({QStringLiteral("00000419"), QStringLiteral("0000041F")}));
    QCOMPARE(layouts.loadCount(), 2);
    QCOMPARE(layouts.loadLayout(QStringLiteral("00000419")), russian);
    layouts.clearActivationHistory();
    QVERIFY(layouts.activationHistory().isEmpty());
}

void TestKeyboardLayouts::memoryBackendRejects_data() {
    QTest::addColumn<QStringList>("available");
    QTest::addColumn<QString>("name");
    QTest::newRow("malformed") << QStringList() << "0419";
    QTest::newRow("garbage") << QStringList() << "hello!!!";
    QTest::newRow("not available") << QStringList({QStringLiteral("00000409")}) << "00000419";
}

void TestKeyboardLayouts::memoryBackendRejects() {
    QFETCH(QStringList, available);
    QFETCH(QString, name);
    MemoryKeyboardLayouts layouts(available, QStringLiteral("00000409"));
    const LayoutHandle handle = layouts.loadLayout(name);
    QVERIFY(!handle.isValid());
    layouts.activate(handle);
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000409"));
    QVERIFY(layouts.activationHistory().isEmpty());
    // A forged handle naming a layout that was never loaded changes nothing either.
    layouts.activate(LayoutHandle{QStringLiteral("00000419"), 0});
    QCOMPARE(layouts.currentLayoutName(), QStringLiteral("00000409"));
}

QTEST_APPLESS_MAIN(TestKeyboardLayouts)
#include "test_keyboard_layouts.moc"
