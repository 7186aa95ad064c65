#include "platform/codepage.h"

#include <QSet>
#include <QTest>

using namespace lexanta;

namespace {

struct Sample {
    const char* name;
    int page;
    const char* bytes;
    const char16_t* text;
};

// Sets LC_ALL for one scope.
struct ScopedLcAll {
    explicit ScopedLcAll(const char* value) { qputenv("LC_ALL", value); }
    ~ScopedLcAll() { saved.isNull() ? qunsetenv("LC_ALL") : qputenv("LC_ALL", saved); }
    const QByteArray saved = qgetenv("LC_ALL");
};

} // namespace

class TestCodePage : public QObject {
    Q_OBJECT

private slots:
    void charsetAndLocaleToCodePage();
    void defaultCharsetFollowsLocale();
    void everyByteRoundTrips_data();
    void everyByteRoundTrips();
    void knownDecodings_data();
    void knownDecodings();
    void unencodableReportedNotReplaced_data();
    void unencodableReportedNotReplaced();
    void unknownPageConvertsAs1252();
};

void TestCodePage::charsetAndLocaleToCodePage() {
    const std::pair<int, int> charsets[] = {{0, 1252},   {2, 1252},   {77, 10000}, {128, 932},
                                            {130, 1361}, {204, 1251}, {238, 1250}, {255, 437}};
    for (const auto& [charset, page] : charsets)
        QCOMPARE(codePageForCharset(charset), page);
    const auto expect = [](int page, std::initializer_list<const char*> locales) {
        for (const char* locale : locales)
            QVERIFY2(ansiCodePageForLocale(QString::fromLatin1(locale)) == page, locale);
    };
    expect(1252, {"", "C", "C.UTF-8", "de_DE@euro"});
    expect(1251, {"ru_RU.UTF-8", "sr_RS", "RU_ru", "ru-RU"});
    expect(1250, {"sr_RS@latin", "pl_PL.UTF-8"});
    expect(1254, {"tr_TR"});
    expect(936, {"zh_SG"});
    expect(950, {"zh_HK"});
    expect(932, {"ja_JP.UTF-8"});
    expect(949, {"ko_KR.EUC-KR"});
}

void TestCodePage::defaultCharsetFollowsLocale() {
    ScopedLcAll russian("ru_RU.UTF-8");
    QCOMPARE(codePageForCharset(1), 1251);
    QCOMPARE(codePageForCharset(99), 1251); // unknown set
    ScopedLcAll greek("el_GR.UTF-8");
    QCOMPARE(codePageForCharset(1), 1253);
    ScopedLcAll c("C");
    QCOMPARE(codePageForCharset(1), 1252);
}

void TestCodePage::everyByteRoundTrips_data() {
    QTest::addColumn<int>("codePage");
    for (int page : {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 437, 10000})
        QTest::addRow("%d", page) << page;
}

// Every byte decodes to a character of its own that encodes back to it.
void TestCodePage::everyByteRoundTrips() {
    QFETCH(int, codePage);
    const CodePage& page = CodePage::get(codePage);
    QVERIFY(page.isAvailable());
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const QString text = page.decode(all);
    QCOMPARE(QSet<QChar>(text.begin(), text.end()).size(), 256);
    const EncodeResult back = page.encode(text);
    QVERIFY2(back.ok(), qPrintable(back.unencodable));
    QCOMPARE(back.bytes, all);
}

void TestCodePage::knownDecodings_data() {
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const Sample rows[] = {
        {"1251", 1251, "\xC0\xE1\xDF\xFF\xA8\xB8", u"АбЯяЁё"},
        {"1251 undefined 98", 1251, "\x98", u"\u0098"},
        {"1252 euro", 1252, "\x80\xE9", u"€é"},
        {"1250", 1250, "\x8A\xB9", u"Šą"},
        {"1253 undefined D2", 1253, "\xC1\xD2", u"Α\uF7D2"},
        {"1254", 1254, "\xD0\xFD", u"Ğı"},
        {"1255", 1255, "\xE0", u"א"},
        {"1256", 1256, "\xC7", u"ا"},
        {"1257", 1257, "\xD0", u"Š"},
        {"1258 combining", 1258, "Vi\xEA\xF2t", u"Vi\u00EA\u0323t"},
        {"874", 874, "\xA1", u"ก"},
        {"437", 437, "\xC9\x82", u"╔é"},
        {"10000", 10000, "\x8E", u"é"},
        {"932 with kana", 932, "\x93\xFA\x96\x7B\x8C\xEA\xB1 1\x81\x40\x87\x40", u"日本語ｱ 1　①"},
        {"936", 936, "\xD6\xD0\xCE\xC4", u"中文"},
        {"949", 949, "\xC7\xD1\xB1\xB9\xBE\xEE", u"한국어"},
        {"950", 950, "\xA4\xA4\xA4\xE5", u"中文"},
        {"1361 johab", 1361, "\xD0\x65\x8B\x69", u"한글"},
        {"empty", 1251, "", u""},
        // Each byte of an invalid or unassigned multi-byte sequence stands for itself.
        {"932 cut-off lead byte", 932, "ab\x93", u"ab\U0010FF93"},
        {"932 unassigned row", 932, "\x85\x40", u"\U0010FF85\U0010FF40"},
        {"936 bad trail", 936, "\xD6\x7F\xD6\xD0", u"\U0010FFD6\x7F中"},
        {"1361 cut-off", 1361, "\xD0\x65\xD0", u"한\U0010FFD0"},
        {"1361 invalid lead", 1361, "\xFF\xFFz", u"\U0010FFFF\U0010FFFFz"},
    };
    for (const Sample& s : rows)
        QTest::newRow(s.name) << s.page << QByteArray(s.bytes) << QString::fromUtf16(s.text);
}

void TestCodePage::knownDecodings() {
    QFETCH(int, codePage);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const CodePage& page = CodePage::get(codePage);
    QCOMPARE(page.decode(bytes.toStdString()), text);
    const EncodeResult encoded = page.encode(text);
    QVERIFY2(encoded.ok(), qPrintable(encoded.unencodable));
    QCOMPARE(QByteArray::fromStdString(encoded.bytes), bytes);
}

void TestCodePage::unencodableReportedNotReplaced_data() {
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("unencodable");
    QTest::newRow("1251 each once") << 1251 << QStringLiteral("Ёaß日bß日c")
                                    << QByteArray("\xA8") + "abc" << QStringLiteral("ß日");
    QTest::newRow("1251 C1 of another page")
        << 1251 << QString(QChar(0x81)) << QByteArray() << QString(QChar(0x81));
    QTest::newRow("1252 emoji once")
        << 1252 << QStringLiteral("a😀b😀") << QByteArray("ab") << QStringLiteral("😀");
    QTest::newRow("1252 U+FEFF first and later")
        << 1252 << QStringLiteral("\uFEFFa\uFEFF") << QByteArray("a") << QStringLiteral("\uFEFF");
    QTest::newRow("936 U+FEFF") << 936 << QStringLiteral("\uFEFF中") << QByteArray("\xD6\xD0")
                                << QStringLiteral("\uFEFF");
    QTest::newRow("1252 lone surrogate") << 1252 << QString(QChar(0xD800)) + QLatin1Char('z')
                                         << QByteArray("z") << QString(QChar(0xD800));
    QTest::newRow("1252 no best fit") << 1252 << QStringLiteral("ａ") << QByteArray()
                                      << QStringLiteral("ａ"); // full-width a is not "a"
    QTest::newRow("932 cyrillic ok, hangul not")
        << 932 << QStringLiteral("Жx한") << QByteArray("\x84\x47x") << QStringLiteral("한");
    QTest::newRow("936 emoji") << 936 << QStringLiteral("中😀") << QByteArray("\xD6\xD0")
                               << QStringLiteral("😀");
    QTest::newRow("1361 kana") << 1361 << QStringLiteral("한ｱ") << QByteArray("\xD0\x65")
                               << QStringLiteral("ｱ");
}

void TestCodePage::unencodableReportedNotReplaced() {
    QFETCH(int, codePage);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, unencodable);
    const EncodeResult encoded = CodePage::get(codePage).encode(text);
    QCOMPARE(QByteArray::fromStdString(encoded.bytes), bytes);
    QCOMPARE(encoded.unencodable, unencodable);
    QVERIFY(!encoded.ok());
}

void TestCodePage::unknownPageConvertsAs1252() {
    const CodePage page(12345);
    QVERIFY(!page.isAvailable());
    QCOMPARE(page.decode(std::string("\x80")), QStringLiteral("€"));
}

QTEST_APPLESS_MAIN(TestCodePage)
#include "test_codepage.moc"
