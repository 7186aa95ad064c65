#include "core/interchange/text_import.h"
#include "support/repeated_bytes.h"

#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

using namespace lexanta;

namespace {

using Fields = std::array<std::string, 3>;
using Rows = std::vector<Fields>;
using CodePages = std::array<int, 3>;

const std::array<int, 3> kWestern{1252, 1252, 1252};
// Question, answer, comment: English words, Russian answers, Western comments.
const std::array<int, 3> kRussianAnswers{1252, 1251, 1252};

QByteArray bytes(std::string_view s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

void compareRows(const EntryTable& table, const Rows& expected) {
    QCOMPARE(table.entryCount(), std::max<int>(static_cast<int>(expected.size()), 1));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const int entry = static_cast<int>(i);
        QCOMPARE(bytes(table.text(entry, kQuestion)), bytes(expected[i][0]));
        QCOMPARE(bytes(table.text(entry, kAnswer)), bytes(expected[i][1]));
        QCOMPARE(bytes(table.text(entry, kComment)), bytes(expected[i][2]));
        QVERIFY(table.text(entry, kExtra1).empty());
        QVERIFY(table.text(entry, kExtra2).empty());
    }
}

} // namespace

Q_DECLARE_METATYPE(ImportFormat)
Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(CodePages)
Q_DECLARE_METATYPE(ImportProblem)

class TestTextImport : public QObject {
    Q_OBJECT

private slots:
    void readers_data();
    void readers();
    void replacesPreviousEntries();
    void encoding_data();
    void encoding();
    void unencodableCharactersAreReported_data();
    void unencodableCharactersAreReported();
    void problemsAreCappedCountedAndDescribed();
    void tooManyLinesAreRefused();
    void progressIsReported();
};

void TestTextImport::readers_data() {
    QTest::addColumn<ImportFormat>("format");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<Rows>("expected");

    const auto pairs = ImportFormat::TextPairs;
    const auto two = ImportFormat::TwoFields;
    const auto three = ImportFormat::ThreeFields;
    const std::string longText(5000, 'x');

    QTest::newRow("pairs, LF and CR LF") << pairs << QByteArray("cat\r\nKatze\ndog\r\nHund")
                                         << Rows{{"cat", "Katze", ""}, {"dog", "Hund", ""}};
    QTest::newRow("pairs keep empty lines in place")
        << pairs << QByteArray("a\n\n\nB\nc\nC")
        << Rows{{"a", "", ""}, {"", "B", ""}, {"c", "C", ""}};
    QTest::newRow("pairs odd line count: last answer empty")
        << pairs << QByteArray("a\nA\nb\n") << Rows{{"a", "A", ""}, {"b", "", ""}};
    QTest::newRow("pairs take tab lines whole")
        << pairs << QByteArray("q\ta\tc\nq2\ta2") << Rows{{"q\ta\tc", "q2\ta2", ""}};
    QTest::newRow("two fields: later TABs belong to the answer")
        << two << QByteArray("q\ta\tb\tc\n") << Rows{{"q", "a\tb\tc", ""}};
    QTest::newRow("two fields: no TAB, empty line, TAB first or last")
        << two << QByteArray("word\n\n\tA\nb\t")
        << Rows{{"word", "", ""}, {"", "", ""}, {"", "A", ""}, {"b", "", ""}};
    QTest::newRow("three fields: later TABs belong to the comment")
        << three << QByteArray("q\ta\tc\td\r\n") << Rows{{"q", "a", "c\td"}};
    QTest::newRow("three fields: one TAB leaves the comment empty")
        << three << QByteArray("q\ta\nr\ts\tt") << Rows{{"q", "a", ""}, {"r", "s", "t"}};
    QTest::newRow("three fields: no TAB, empty line")
        << three << QByteArray("q\n\nr\t\tt") << Rows{{"q", "", ""}, {"", "", ""}, {"r", "", "t"}};
    QTest::newRow("readers keep blanks and a lone CR")
        << three << QByteArray("  q \t a\r\t\r\r\n") << Rows{{"  q ", " a\r", "\r"}};
    QTest::newRow("over-long lines are taken whole")
        << three << QByteArray(("q\t" + longText + "\t" + longText + "\nnext\tN\tn").c_str())
        << Rows{{"q", longText, longText}, {"next", "N", "n"}};
    QTest::newRow("empty file gives one empty row (pairs)") << pairs << QByteArray() << Rows{};
    QTest::newRow("a lone line end is one empty entry")
        << two << QByteArray("\r\n") << Rows{{"", "", ""}};
}

// A line end after the last line changes nothing, so every row is read with one too.
void TestTextImport::readers() {
    QFETCH(ImportFormat, format);
    QFETCH(QByteArray, input);
    QFETCH(Rows, expected);
    QList<QByteArray> inputs{input};
    if (!input.isEmpty() && !input.endsWith('\n'))
        inputs << input + "\n" << input + "\r\n";
    for (const QByteArray& bytes : inputs) {
        EntryTable table;
        const ImportResult result = importText(bytes.toStdString(), format, kWestern, table);
        QVERIFY(result.ok());
        QCOMPARE(result.entries, static_cast<int>(expected.size()));
        compareRows(table, expected);
    }
}

void TestTextImport::replacesPreviousEntries() {
    EntryTable table;
    table.setEntryCount(5);
    for (int c = kQuestion; c <= kExtra2; ++c)
        table.setText(4, c, "old");
    const ImportResult result = importText("a\tA\nb\tB", ImportFormat::TwoFields, kWestern, table);
    QCOMPARE(result.entries, 2);
    compareRows(table, {{"a", "A", ""}, {"b", "B", ""}});

    importText("", ImportFormat::TwoFields, kWestern, table);
    compareRows(table, {});
    QVERIFY(table.entry(0) == Entry{});
}

void TestTextImport::encoding_data() {
    QTest::addColumn<ImportFormat>("format");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<CodePages>("codePages");
    QTest::addColumn<bool>("converted");
    QTest::addColumn<Rows>("expected");

    const auto two = ImportFormat::TwoFields;
    QTest::newRow("UTF-8 Russian word list into a Cyrillic answer column")
        << two << QByteArray("cat\tкошка\ndog\tсобака\n") << kRussianAnswers << true
        << Rows{{"cat", "\xEA\xEE\xF8\xEA\xE0", ""}, {"dog", "\xF1\xEE\xE1\xE0\xEA\xE0", ""}};
    QTest::newRow("UTF-8 pairs: each line in its own column's page")
        << ImportFormat::TextPairs << QByteArray("été\r\nлето\r\n") << kRussianAnswers << true
        << Rows{{"\xE9t\xE9", "\xEB\xE5\xF2\xEE", ""}};
    QTest::newRow("UTF-8 three columns, three pages")
        << ImportFormat::ThreeFields << QByteArray("Ёж\tёж\tkæt") << std::array{1251, 1251, 1252}
        << true << Rows{{"\xA8\xE6", "\xB8\xE6", "k\xE6t"}};
    QTest::newRow("byte-order mark before pairs")
        << ImportFormat::TextPairs << QByteArray("\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\nлето")
        << kRussianAnswers << true << Rows{{"\xE9t\xE9", "\xEB\xE5\xF2\xEE", ""}};
    QTest::newRow("Windows-1251 file is taken byte for byte")
        << two << QByteArray("cat\t\xEA\xEE\xF8\xEA\xE0") << kRussianAnswers << false
        << Rows{{"cat", "\xEA\xEE\xF8\xEA\xE0", ""}};
    QTest::newRow("plain ASCII is taken byte for byte")
        << two << QByteArray("cat\tcat") << kRussianAnswers << false << Rows{{"cat", "cat", ""}};
    QTest::newRow("overlong UTF-8 form is not UTF-8")
        << two << QByteArray("a\t\xC0\xAF") << kWestern << false << Rows{{"a", "\xC0\xAF", ""}};
    QTest::newRow("truncated UTF-8 at the end is not UTF-8")
        << two << QByteArray("a\t\xD0\xBA\xD0") << kWestern << false
        << Rows{{"a", "\xD0\xBA\xD0", ""}};
}

void TestTextImport::encoding() {
    QFETCH(ImportFormat, format);
    QFETCH(QByteArray, input);
    QFETCH(CodePages, codePages);
    QFETCH(bool, converted);
    QFETCH(Rows, expected);
    EntryTable table;
    const ImportResult result = importText(input.toStdString(), format, codePages, table);
    QVERIFY2(result.ok(), qPrintable(describeImportProblems(result, "test.txt")));
    QCOMPARE(result.convertedFromUtf8, converted);
    QCOMPARE(isUtf8Text(input.toStdString()), converted);
    compareRows(table, expected);
}

void TestTextImport::unencodableCharactersAreReported_data() {
    QTest::addColumn<ImportFormat>("format");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<CodePages>("codePages");
    QTest::addColumn<ImportProblem>("problem");
    const auto unencodable = ImportProblem::Kind::Unencodable;
    QTest::newRow("Cyrillic answer in a Western column")
        << ImportFormat::TwoFields << QByteArray("cat\tcat\ndog\tсобака\n") << kWestern
        << ImportProblem{unencodable, 2, kAnswer, 1252, QStringLiteral("собак")};
    QTest::newRow("pairs report the answer's own line")
        << ImportFormat::TextPairs << QByteArray("a\nA\nb\nжук") << kWestern
        << ImportProblem{unencodable, 4, kAnswer, 1252, QStringLiteral("жук")};
    QTest::newRow("Greek comment in a Cyrillic comment column")
        << ImportFormat::ThreeFields << QByteArray("q\ta\tαβα") << CodePages{1252, 1252, 1251}
        << ImportProblem{unencodable, 1, kComment, 1251, QStringLiteral("αβ")};
    QTest::newRow("character outside the basic plane")
        << ImportFormat::TwoFields << QByteArray("x\xF0\x9F\x98\x80\ty") << kRussianAnswers
        << ImportProblem{unencodable, 1, kQuestion, 1252, QStringLiteral("\U0001F600")};
    QTest::newRow("U+FEFF inside a field is a character")
        << ImportFormat::TwoFields << QByteArray("ca\xEF\xBB\xBFt\tKatze") << kWestern
        << ImportProblem{unencodable, 1, kQuestion, 1252, QStringLiteral("\uFEFF")};
    QTest::newRow("U+FEFF at the start of a later line (files joined)")
        << ImportFormat::TwoFields
        << QByteArray("\xEF\xBB\xBF"
                      "cat\tKatze\n\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\tSommer")
        << kWestern << ImportProblem{unencodable, 2, kQuestion, 1252, QStringLiteral("\uFEFF")};
    QTest::newRow("NUL byte in a byte-for-byte file")
        << ImportFormat::TwoFields << QByteArray("cat\tKa\0tze", 11) << kWestern
        << ImportProblem{ImportProblem::Kind::NulByte, 1, kAnswer, 1252, QString()};
    QTest::newRow("UTF-16 without a byte-order mark")
        << ImportFormat::TextPairs << QByteArray("c\0a\0t\0", 6) << kRussianAnswers
        << ImportProblem{ImportProblem::Kind::NulByte, 1, kQuestion, 1252, QString()};
    QTest::newRow("byte-order mark and broken UTF-8")
        << ImportFormat::TwoFields << QByteArray("\xEF\xBB\xBFq\ta\nr\t\xEA\xEE\xF2") << kWestern
        << ImportProblem{ImportProblem::Kind::InvalidUtf8, 2, kAnswer, 1252, QString()};
}

void TestTextImport::unencodableCharactersAreReported() {
    QFETCH(ImportFormat, format);
    QFETCH(QByteArray, input);
    QFETCH(CodePages, codePages);
    QFETCH(ImportProblem, problem);
    EntryTable table;
    const ImportResult result = importText(input.toStdString(), format, codePages, table);
    QCOMPARE(result.problemCount, 1);
    QCOMPARE(result.problems.size(), std::size_t(1));
    const ImportProblem& p = result.problems.front();
    QCOMPARE(p.kind, problem.kind);
    QCOMPARE(p.line, problem.line);
    QCOMPARE(p.field, problem.field);
    QCOMPARE(p.codePage, problem.codePage);
    QCOMPARE(p.characters, problem.characters);
}

// The list is capped but every problem is counted; the message names the file and
// the first lines, with the characters spaced out.
void TestTextImport::problemsAreCappedCountedAndDescribed() {
    EntryTable table;
    const ImportResult ok = importText("a\tb", ImportFormat::TwoFields, kWestern, table);
    QVERIFY(describeImportProblems(ok, "/tmp/words.txt").isEmpty());

    std::string input = "cat\tкот\n";
    const int lines = kMaxListedProblems + 250;
    for (int i = 1; i < lines; ++i)
        input += "слово\tжук\n";
    const ImportResult result = importText(input, ImportFormat::TwoFields, kWestern, table);
    QCOMPARE(result.entries, lines);
    QCOMPARE(result.problemCount, 2 * lines - 1);
    QCOMPARE(result.problems.size(), std::size_t(kMaxListedProblems));
    // Nothing is silently replaced: the cells hold only what the page could hold.
    QCOMPARE(bytes(table.text(0, kQuestion)), QByteArray("cat"));
    QCOMPARE(bytes(table.text(0, kAnswer)), QByteArray());
    const QString text = describeImportProblems(result, "/tmp/words.txt");
    QVERIFY2(text.startsWith("Cannot import /tmp/words.txt:"), qPrintable(text));
    QVERIFY2(text.contains("\nLine 1, answer (code page 1252): к о т"), qPrintable(text));
    QVERIFY2(text.contains("\nLine 5, answer (code page 1252): ж у к"), qPrintable(text));
    QVERIFY2(text.contains("\nLine 6, question (code page 1252): с л о в"), qPrintable(text));
    QVERIFY2(!text.contains("Line 6, answer"), qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("\n... and %1 more.").arg(2 * lines - 11)),
             qPrintable(text));
}

// 2^31 empty lines are one entry more than a table holds: refused before the table changes.
void TestTextImport::tooManyLinesAreRefused() {
    const test::RepeatedBytes lines('\n', std::size_t(1) << 31);
    QVERIFY(!lines.view().empty());
    EntryTable table;
    table.setText(0, kQuestion, "kept");
    const ImportResult result = importText(lines.view(), ImportFormat::TwoFields, kWestern, table);
    QVERIFY(!result.ok());
    QCOMPARE(describeImportProblems(result, "/tmp/blank.txt"),
             QString("Cannot import /tmp/blank.txt: too many entries: 2147483648, at most "
                     "2147483646"));
    QCOMPARE(table.entryCount(), 1);
    QCOMPARE(bytes(table.text(0, kQuestion)), QByteArray("kept"));
}

void TestTextImport::progressIsReported() {
    std::string input;
    for (int i = 0; i < 200'000; ++i)
        input += "word\tWort\n";
    std::vector<long long> done;
    EntryTable table;
    importText(input, ImportFormat::TwoFields, kWestern, table, [&](long long d, long long total) {
        QCOMPARE(total, 200'000LL);
        done.push_back(d);
    });
    QVERIFY(done.size() >= 2);
    QVERIFY(std::is_sorted(done.begin(), done.end()));
    QCOMPARE(done.back(), 200'000LL);
}

QTEST_APPLESS_MAIN(TestTextImport)
#include "test_text_import.moc"
