#include "platform/codepage.h"

#include <QSet>
#include <QTest>

#include <random>

using namespace lexanta;

namespace {

const int kSingleBytePages[] = {874,  1250, 1251, 1252, 1253, 1254,
                                1255, 1256, 1257, 1258, 437,  10000};

} // namespace

class TestCodePage : public QObject {
    Q_OBJECT

private slots:
    void charsetToCodePage_data();
    void charsetToCodePage();
    void defaultCharsetFollowsLocale();
    void localeToCodePage_data();
    void localeToCodePage();
    void everyByteRoundTrips_data();
    void everyByteRoundTrips();
    void knownDecodings_data();
    void knownDecodings();
    void textRoundTrips_data();
    void textRoundTrips();
    void unencodableReportedNotReplaced_data();
    void unencodableReportedNotReplaced();
    void invalidMultiByteSequencesRoundTrip_data();
    void invalidMultiByteSequencesRoundTrip();
    void randomBytesRoundTripInSingleBytePages();
    void unknownPageConvertsAs1252();
    void sharedConverterIsCached();
};

void TestCodePage::charsetToCodePage_data() {
    QTest::addColumn<int>("charset");
    QTest::addColumn<int>("codePage");
    const std::pair<int, int> rows[] = {
        {0, 1252},   {2, 1252},   {77, 10000}, {128, 932},  {129, 949},  {130, 1361},
        {134, 936},  {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255},
        {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}, {255, 437},
    };
    for (const auto& [charset, page] : rows)
        QTest::addRow("charset %d", charset) << charset << page;
}

void TestCodePage::charsetToCodePage() {
    QFETCH(int, charset);
    QFETCH(int, codePage);
    QCOMPARE(codePageForCharset(charset), codePage);
    QCOMPARE(CodePage::forCharset(charset).number(), codePage);
    QVERIFY(CodePage::forCharset(charset).isAvailable());
}

void TestCodePage::defaultCharsetFollowsLocale() {
    const QByteArray saved = qgetenv("LC_ALL");
    qputenv("LC_ALL", "ru_RU.UTF-8");
    QCOMPARE(systemAnsiCodePage(), 1251);
    QCOMPARE(codePageForCharset(1), 1251);
    QCOMPARE(codePageForCharset(99), 1251); // unknown set
    qputenv("LC_ALL", "el_GR.UTF-8");
    QCOMPARE(codePageForCharset(1), 1253);
    qputenv("LC_ALL", "C");
    QCOMPARE(codePageForCharset(1), 1252);
    if (saved.isNull())
        qunsetenv("LC_ALL");
    else
        qputenv("LC_ALL", saved);
}

void TestCodePage::localeToCodePage_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("codePage");
    const std::pair<const char*, int> rows[] = {
        {"", 1252},
        {"C", 1252},
        {"POSIX", 1252},
        {"C.UTF-8", 1252},
        {"en_US.UTF-8", 1252},
        {"de_DE@euro", 1252},
        {"ru_RU.UTF-8", 1251},
        {"uk_UA", 1251},
        {"be_BY.UTF-8", 1251},
        {"bg_BG", 1251},
        {"sr_RS", 1251},
        {"sr_RS@latin", 1250},
        {"mk_MK", 1251},
        {"pl_PL.UTF-8", 1250},
        {"cs_CZ", 1250},
        {"sk_SK", 1250},
        {"hu_HU", 1250},
        {"sl_SI", 1250},
        {"hr_HR", 1250},
        {"ro_RO", 1250},
        {"bs_BA", 1250},
        {"sq_AL", 1250},
        {"el_GR.UTF-8", 1253},
        {"tr_TR.UTF-8", 1254},
        {"az_AZ", 1254},
        {"he_IL.UTF-8", 1255},
        {"ar_EG.UTF-8", 1256},
        {"fa_IR", 1256},
        {"ur_PK", 1256},
        {"lt_LT", 1257},
        {"lv_LV", 1257},
        {"et_EE", 1257},
        {"vi_VN", 1258},
        {"th_TH.UTF-8", 874},
        {"ja_JP.UTF-8", 932},
        {"zh_CN.UTF-8", 936},
        {"zh_SG", 936},
        {"zh_TW.UTF-8", 950},
        {"zh_HK", 950},
        {"ko_KR.EUC-KR", 949},
        {"RU_ru", 1251},
        {"ru-RU", 1251},
    };
    for (const auto& [locale, page] : rows)
        QTest::addRow("%s", *locale ? locale : "empty") << QString::fromLatin1(locale) << page;
}

void TestCodePage::localeToCodePage() {
    QFETCH(QString, locale);
    QFETCH(int, codePage);
    QCOMPARE(ansiCodePageForLocale(locale), codePage);
}

void TestCodePage::everyByteRoundTrips_data() {
    QTest::addColumn<int>("codePage");
    for (int page : kSingleBytePages)
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
    QCOMPARE(text.size(), 256);
    QSet<QChar> distinct(text.begin(), text.end());
    QCOMPARE(distinct.size(), 256);
    const EncodeResult back = page.encode(text);
    QVERIFY2(back.ok(), qPrintable(back.unencodable));
    QCOMPARE(back.bytes, all);
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const EncodeResult single = page.encode(page.decode(one));
        QVERIFY2(single.bytes == one, qPrintable(QString::number(b, 16)));
    }
}

void TestCodePage::knownDecodings_data() {
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("1251 cyrillic")
        << 1251 << QByteArray("\xC0\xE1\xE2\xDF\xFF") << QStringLiteral("АбвЯя");
    QTest::newRow("1251 yo") << 1251 << QByteArray("\xA8\xB8") << QStringLiteral("Ёё");
    QTest::newRow("1251 undefined 98") << 1251 << QByteArray("\x98") << QString(QChar(0x98));
    QTest::newRow("1252 euro") << 1252 << QByteArray("\x80") << QStringLiteral("€");
    QTest::newRow("1252 undefined") << 1252 << QByteArray("\x81\x8D\x8F\x90\x9D")
                                    << QString::fromUtf16(u"\u0081\u008D\u008F\u0090\u009D");
    QTest::newRow("1252 latin") << 1252 << QByteArray("\xE9\xDF") << QStringLiteral("éß");
    QTest::newRow("1250 s caron") << 1250 << QByteArray("\x8A\xB9") << QStringLiteral("Šą");
    QTest::newRow("1253 greek") << 1253 << QByteArray("\xC1\xE2") << QStringLiteral("Αβ");
    QTest::newRow("1253 undefined D2") << 1253 << QByteArray("\xD2") << QString(QChar(0xF7D2));
    QTest::newRow("1254 turkish") << 1254 << QByteArray("\xD0\xFD") << QStringLiteral("Ğı");
    QTest::newRow("1255 hebrew") << 1255 << QByteArray("\xE0") << QStringLiteral("א");
    QTest::newRow("1256 arabic") << 1256 << QByteArray("\xC7") << QStringLiteral("ا");
    QTest::newRow("1257 baltic") << 1257 << QByteArray("\xD0") << QStringLiteral("Š");
    QTest::newRow("874 thai") << 874 << QByteArray("\xA1") << QStringLiteral("ก");
    QTest::newRow("437 box") << 437 << QByteArray("\xC9\x82") << QStringLiteral("╔é");
    QTest::newRow("10000 mac") << 10000 << QByteArray("\x8E") << QStringLiteral("é");
    QTest::newRow("932") << 932 << QByteArray("\x93\xFA\x96\x7B\x8C\xEA")
                         << QStringLiteral("日本語");
    QTest::newRow("932 half-width kana") << 932 << QByteArray("\xB1") << QStringLiteral("ｱ");
    QTest::newRow("936") << 936 << QByteArray("\xD6\xD0\xCE\xC4") << QStringLiteral("中文");
    QTest::newRow("949") << 949 << QByteArray("\xC7\xD1\xB1\xB9\xBE\xEE")
                         << QStringLiteral("한국어");
    QTest::newRow("950") << 950 << QByteArray("\xA4\xA4\xA4\xE5") << QStringLiteral("中文");
    QTest::newRow("1361 johab") << 1361 << QByteArray("\xD0\x65\x8B\x69") << QStringLiteral("한글");
    QTest::newRow("ascii 932") << 932 << QByteArray("abc 123") << QStringLiteral("abc 123");
    QTest::newRow("empty") << 1251 << QByteArray() << QString();
}

void TestCodePage::knownDecodings() {
    QFETCH(int, codePage);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const CodePage& page = CodePage::get(codePage);
    const std::string raw(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    QCOMPARE(page.decode(raw), text);
    const EncodeResult encoded = page.encode(text);
    QVERIFY2(encoded.ok(), qPrintable(encoded.unencodable));
    QCOMPARE(encoded.bytes, raw);
}

void TestCodePage::textRoundTrips_data() {
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("text");
    QTest::newRow("russian 1251") << 1251
                                  << QStringLiteral(
                                         "Съешь же ещё этих мягких французских булок, ЁЖ!");
    QTest::newRow("czech 1250") << 1250 << QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy");
    QTest::newRow("greek 1253") << 1253 << QStringLiteral("Ξεσκεπάζω την ψυχοφθόρα βδελυγμία");
    QTest::newRow("vietnamese 1258") << 1258 << QStringLiteral("Vi\u00EA\u0323t"); // combining
    QTest::newRow("japanese 932") << 932 << QStringLiteral("いろはにほへと　カタカナ①漢字");
    QTest::newRow("korean 1361") << 1361 << QStringLiteral("다람쥐 헌 쳇바퀴에 타고파");
}

void TestCodePage::textRoundTrips() {
    QFETCH(int, codePage);
    QFETCH(QString, text);
    const CodePage& page = CodePage::get(codePage);
    const EncodeResult encoded = page.encode(text);
    QVERIFY2(encoded.ok(), qPrintable(encoded.unencodable));
    QCOMPARE(page.decode(encoded.bytes), text);
}

void TestCodePage::unencodableReportedNotReplaced_data() {
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("unencodable");
    QTest::newRow("1251 german and cjk")
        << 1251 << QStringLiteral("aß日bß日c") << QByteArray("abc") << QStringLiteral("ß日");
    QTest::newRow("1251 keeps cyrillic")
        << 1251 << QStringLiteral("Ёжα") << QByteArray("\xA8\xE6") << QStringLiteral("α");
    QTest::newRow("1252 cyrillic")
        << 1252 << QStringLiteral("Жx") << QByteArray("x") << QStringLiteral("Ж");
    QTest::newRow("1251 C1 of another page")
        << 1251 << QString(QChar(0x81)) << QByteArray() << QString(QChar(0x81));
    QTest::newRow("1252 emoji once")
        << 1252 << QStringLiteral("a😀b😀") << QByteArray("ab") << QStringLiteral("😀");
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

void TestCodePage::invalidMultiByteSequencesRoundTrip_data() {
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("rawBytes"); // how many bytes decode to raw-byte characters
    QTest::newRow("932 cut-off lead byte") << 932 << QByteArray("ab\x93") << 1;
    QTest::newRow("932 lead byte then blank") << 932 << QByteArray("\x93 x") << 1;
    QTest::newRow("932 unassigned row") << 932 << QByteArray("\x85\x40") << 2;
    QTest::newRow("936 bad trail") << 936 << QByteArray("\xD6\x7F\xD6\xD0") << 1;
    QTest::newRow("949 cut-off") << 949 << QByteArray("\xC7\xD1\xC7") << 1;
    QTest::newRow("950 bad trail") << 950 << QByteArray("\xA4\x01") << 1;
    QTest::newRow("1361 cut-off") << 1361 << QByteArray("\xD0\x65\xD0") << 1;
    QTest::newRow("1361 invalid lead") << 1361 << QByteArray("\xFF\xFFz") << 2;
}

void TestCodePage::invalidMultiByteSequencesRoundTrip() {
    QFETCH(int, codePage);
    QFETCH(QByteArray, bytes);
    QFETCH(int, rawBytes);
    const CodePage& page = CodePage::get(codePage);
    const std::string raw = bytes.toStdString();
    const QString text = page.decode(raw);
    int raws = 0;
    for (char32_t c : text.toUcs4())
        if (c >= 0x10FF00 && c <= 0x10FFFF)
            ++raws;
    QCOMPARE(raws, rawBytes);
    const EncodeResult back = page.encode(text);
    QVERIFY2(back.ok(), qPrintable(back.unencodable));
    QCOMPARE(QByteArray::fromStdString(back.bytes), bytes);
}

void TestCodePage::randomBytesRoundTripInSingleBytePages() {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int page : kSingleBytePages) {
        const CodePage& codePage = CodePage::get(page);
        for (int round = 0; round < 50; ++round) {
            std::string data(static_cast<std::size_t>(round * 7), '\0');
            for (char& c : data)
                c = static_cast<char>(byte(random));
            QCOMPARE(codePage.encode(codePage.decode(data)).bytes, data);
        }
    }
}

void TestCodePage::unknownPageConvertsAs1252() {
    const CodePage page(12345);
    QCOMPARE(page.number(), 12345);
    QVERIFY(!page.isAvailable());
    QCOMPARE(page.decode(std::string("\x80")), QStringLiteral("€"));
    QVERIFY(CodePage::get(1251).isAvailable());
}

void TestCodePage::sharedConverterIsCached() {
    QCOMPARE(&CodePage::get(1251), &CodePage::get(1251));
    QCOMPARE(&CodePage::forCharset(204), &CodePage::get(1251));
}

QTEST_APPLESS_MAIN(TestCodePage)
#include "test_codepage.moc"
