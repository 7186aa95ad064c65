#include "core/interchange/text_export.h"
#include "core/interchange/text_import.h"

#include <QTest>

#include <string>
#include <vector>

using namespace lexanta;

namespace {

using Fields = std::array<std::string, 3>; // question, answer, comment
using Rows = std::vector<Fields>;

EntryTable makeTable(const Rows& rows) {
    EntryTable table;
    table.setEntryCount(std::max<int>(static_cast<int>(rows.size()), 1));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        Entry e;
        e[kQuestion] = rows[i][0];
        e[kAnswer] = rows[i][1];
        e[kComment] = rows[i][2];
        e[kExtra1] = "extra1";
        e[kExtra2] = "extra2";
        table.setEntry(static_cast<int>(i), e);
    }
    return table;
}

std::array<FieldFont, 3> fonts(const std::string& q, const std::string& a, const std::string& c,
                               int answerCharset = kCharsetDefault) {
    std::array<FieldFont, 3> f;
    f[0].face = q;
    f[1].face = a;
    f[1].charset = answerCharset;
    f[2].face = c;
    f[2].charset = kCharsetAnsi;
    return f;
}

const std::string kPageTail = "</table>\r\n</body>\r\n</html>\r\n";

std::string head(const std::string& title, const std::string& f1, const std::string& f2,
                 const std::string& f3) {
    return "<html>\r\n<head>\r\n<title>" + title + "</title>\r\n" +
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n" +
           "<style type=\"text/css\">\r\n<!--\r\n.f1 {  font-family: " + f1 +
           "}\r\n.f2 {  font-family: " + f2 + "}\r\n.f3 {  font-family: " + f3 +
           "}\r\n-->\r\n</style>\r\n</head>\r\n<body bgcolor=\"#FFFFFF\" text=\"#000000\">\r\n"
           "<table border=\"0\" cellspacing=\"0\" cellpadding=\"2\">\r\n";
}

std::string tableRow(const std::string& q, const std::string& a, const std::string& c) {
    return "<tr>\r\n<td class=\"f1\">" + q + "</td>\r\n<td class=\"f2\">" + a +
           "</td>\r\n<td class=\"f3\">" + c + "</td>\r\n</tr>\r\n";
}

QByteArray bytes(std::string_view s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// Sets LC_ALL for one scope, so the system ANSI code page is known.
struct ScopedLocale {
    explicit ScopedLocale(const char* name) { qputenv("LC_ALL", name); }
    ~ScopedLocale() { saved.isNull() ? qunsetenv("LC_ALL") : qputenv("LC_ALL", saved); }
    const QByteArray saved = qgetenv("LC_ALL");
};

} // namespace

Q_DECLARE_METATYPE(Rows)

class TestTextExport : public QObject {
    Q_OBJECT

private slots:
    void emptyVocabulary();
    void rowsWritten_data();
    void rowsWritten();
    void wholePage();
    void markupIsEscaped();
    void faceNamesAreCssStrings_data();
    void faceNamesAreCssStrings();
    void columnsAreDecodedWithTheirFonts();
    void tabFileKeepsBytesAsTheyStand();
    void tabExportImportsBackAsThreeFields();
};

void TestTextExport::emptyVocabulary() {
    const Vocabulary doc;
    QCOMPARE(bytes(exportTabDelimited(doc.entries)), QByteArray("\t\t"));
    QCOMPARE(bytes(exportHtml(doc)), bytes(head("", "Arial", "Arial", "Arial") + kPageTail));
}

void TestTextExport::rowsWritten_data() {
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<int>("tabLines");
    QTest::addColumn<int>("tableRows");
    QTest::addColumn<QByteArray>("tabEnd");

    const Rows loaded{{"cat", "Katze", "kat"}, {"dog", "Hund", ""}, {"owl", "Eule", ""}};
    Rows typed = loaded;
    typed.push_back({"", "", ""});
    Rows blankInside = loaded;
    blankInside.insert(blankInside.begin() + 1, {"", "", ""});
    Rows commentOnly = loaded;
    commentOnly.push_back({"", "", "note"});

    QTest::newRow("n loaded entries") << loaded << 3 << 3 << QByteArray("\r\nowl\tEule\t");
    QTest::newRow("blank row below typed entries")
        << typed << 4 << 3 << QByteArray("owl\tEule\t\r\n\t\t");
    QTest::newRow("blank row inside stays in the page")
        << blankInside << 4 << 4 << QByteArray("\r\nowl\tEule\t");
    QTest::newRow("last row with only a comment is not blank")
        << commentOnly << 4 << 4 << QByteArray("\r\n\t\tnote");
}

void TestTextExport::rowsWritten() {
    QFETCH(Rows, rows);
    QFETCH(int, tabLines);
    QFETCH(int, tableRows);
    QFETCH(QByteArray, tabEnd);
    const EntryTable table = makeTable(rows);

    const std::string tab = exportTabDelimited(table);
    QCOMPARE(count(tab, "\r\n") + 1, tabLines);
    QCOMPARE(count(tab, "\n"), tabLines - 1); // no bare LF anywhere
    QCOMPARE(count(tab, "\t"), 2 * tabLines);
    QVERIFY2(bytes(tab).endsWith(tabEnd), tab.c_str());
    QVERIFY(tab.find("extra") == std::string::npos);

    const std::string page = exportHtml(table, "T", fonts("A", "B", "C"));
    QCOMPARE(count(page, "<tr>\r\n"), tableRows);
    QVERIFY(page.find("extra") == std::string::npos);
}

void TestTextExport::wholePage() {
    const EntryTable table = makeTable({{"cat", "Katze", "kat"}, {"dog", "Hund", ""}});
    const std::string page =
        exportHtml(table, "Animals", fonts("Times New Roman", "Arial", "Lucida Sans Unicode"));
    const std::string expected =
        head("Animals", "Times New Roman", "Arial", "Lucida Sans Unicode") +
        tableRow("cat", "Katze", "kat") + tableRow("dog", "Hund", "") + kPageTail;
    QCOMPARE(bytes(page), bytes(expected));
}

void TestTextExport::markupIsEscaped() {
    const EntryTable table = makeTable({{"<b>bold</b>", "Tom & \"Jerry\"", "a>b\tc"}});
    const std::string page = exportHtml(table, "</title><script>x</script>", fonts("A", "B", "C"));
    const std::string expected =
        head("&lt;/title&gt;&lt;script&gt;x&lt;/script&gt;", "A", "B", "C") +
        tableRow("&lt;b&gt;bold&lt;/b&gt;", "Tom &amp; &quot;Jerry&quot;", "a&gt;b\tc") + kPageTail;
    QCOMPARE(bytes(page), bytes(expected));
}

// Inside <style> markup is not decoded: a face name that is not a plain name is a CSS string
// that nothing in it can end; a plain one stands as it is.
void TestTextExport::faceNamesAreCssStrings_data() {
    QTest::addColumn<QByteArray>("face");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("one word") << QByteArray("Arial") << QByteArray("Arial");
    QTest::newRow("words") << QByteArray("Times New Roman") << QByteArray("Times New Roman");
    QTest::newRow("hyphen and digits") << QByteArray("MS_Gothic-2") << QByteArray("MS_Gothic-2");
    QTest::newRow("two blanks") << QByteArray("Courier  New") << QByteArray("\"Courier  New\"");
    QTest::newRow("word begins with a digit") << QByteArray("Font 3D") << QByteArray("\"Font 3D\"");
    QTest::newRow("generic family name") << QByteArray("serif") << QByteArray("\"serif\"");
    QTest::newRow("keyword") << QByteArray("Inherit") << QByteArray("\"Inherit\"");
    QTest::newRow("empty") << QByteArray("") << QByteArray("\"\"");
    QTest::newRow("rule and block") << QByteArray("x}*{background:url(//ev.il/a)}")
                                    << QByteArray("\"x}*{background:url(//ev.il/a)}\"");
    QTest::newRow("quote and backslash") << QByteArray("a\"b\\") << QByteArray("\"a\\22 b\\5c \"");
    QTest::newRow("end of style") << QByteArray("x</style><script>")
                                  << QByteArray("\"x\\3c /style\\3e \\3c script\\3e \"");
    QTest::newRow("end of comment") << QByteArray("a-->b&c") << QByteArray("\"a--\\3e b\\26 c\"");
    QTest::newRow("line break") << QByteArray("a\nb\x7F") << QByteArray("\"a\\a b\\7f \"");
    QTest::newRow("system page") << QByteArray("Caf\xE9") << QByteArray("\"Caf\xC3\xA9\"");
}

void TestTextExport::faceNamesAreCssStrings() {
    QFETCH(QByteArray, face);
    QFETCH(QByteArray, written);
    ScopedLocale western("en_US.UTF-8");
    const std::string page =
        exportHtml(makeTable({{"q", "a", "c"}}), "T", fonts(face.toStdString(), "B", "C"));
    const std::string expected = head("T", written.toStdString(), "B", "C");
    QCOMPARE(bytes(page.substr(0, expected.size())), bytes(expected));
}

void TestTextExport::columnsAreDecodedWithTheirFonts() {
    ScopedLocale russian("ru_RU.UTF-8");
    // Questions in the default charset (the system page, 1251 here), Cyrillic answers,
    // Western comments; the title in the system page.
    const EntryTable table = makeTable(
        {{"\xEA\xEE\xF2", "\xEA\xEE\xF8\xEA\xE0", "k\xE6t"}, {"caf\xE9", "\xEA\xE0\xF4\xE5", ""}});
    const std::string page = exportHtml(table, "\xC6\xE8\xE2\xEE\xF2\xED\xFB\xE5",
                                        fonts("Arial", "Arial", "Arial", kCharsetCyrillic));
    QVERIFY2(page.find("<title>Животные</title>") != std::string::npos, page.c_str());
    QVERIFY(page.find(tableRow("кот", "кошка", "kæt")) != std::string::npos);
    // 0xE9 is "й" in the system page 1251 of the question column.
    QVERIFY2(page.find(tableRow("cafй", "кафе", "")) != std::string::npos, page.c_str());
    QVERIFY(QString::fromUtf8(bytes(page)).toUtf8() == bytes(page)); // valid UTF-8 throughout

    ScopedLocale western("en_US.UTF-8");
    const std::string westernPage =
        exportHtml(table, "Title", fonts("Arial", "Arial", "Arial", kCharsetCyrillic));
    QVERIFY2(westernPage.find(tableRow("\u00EA\u00EE\u00F2", "кошка", "kæt")) != std::string::npos,
             westernPage.c_str());
}

void TestTextExport::tabFileKeepsBytesAsTheyStand() {
    const EntryTable table = makeTable({{"q\tx", "\xEA\xEE\xF8<b>", " c "}, {"", "", ""}});
    QCOMPARE(bytes(exportTabDelimited(table)), QByteArray("q\tx\t\xEA\xEE\xF8<b>\t c \r\n\t\t"));
}

void TestTextExport::tabExportImportsBackAsThreeFields() {
    const Rows rows{{"cat", "\xEA\xEE\xF8\xEA\xE0", "kat"},
                    {"dog", "", ""},
                    {"", "only answer", ""},
                    {"to be", "\xE1\xFB\xF2\xFC", "bi:"}};
    const EntryTable table = makeTable(rows);
    EntryTable back;
    const ImportResult result =
        importText(exportTabDelimited(table), ImportFormat::ThreeFields, {1252, 1251, 1252}, back);
    QVERIFY(result.ok());
    QVERIFY(!result.convertedFromUtf8);
    QCOMPARE(back.entryCount(), table.entryCount());
    for (int i = 0; i < table.entryCount(); ++i)
        for (int f : {kQuestion, kAnswer, kComment})
            QCOMPARE(bytes(back.text(i, f)), bytes(table.text(i, f)));
}

QTEST_APPLESS_MAIN(TestTextExport)
#include "test_text_export.moc"
