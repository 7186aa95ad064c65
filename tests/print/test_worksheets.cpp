// Worksheets written as PDF and read back with poppler-utils: what each layout prints, on how
// many pages, where the card backs land, and that nothing leaves its card.
#include "core/vocab/lut_format.h"
#include "platform/file_io.h"
#include "print/pdf_output.h"
#include "support/pdf_pages.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <set>

using namespace lexanta;
using namespace lexanta::test;

namespace {

struct Expected {
    QString question, answer, comment;
};

QString casePath(const QString& name, const char* file) {
    return QStringLiteral(LEXANTA_TEST_DATA "/print/") + name + QLatin1Char('/') +
           QLatin1String(file);
}

Vocabulary loadCase(const QString& name) {
    std::string bytes;
    if (!readWholeFile(casePath(name, "vocabulary.lut"), bytes))
        qFatal("cannot read case %s", qPrintable(name));
    Vocabulary v;
    readVocabulary(std::move(bytes), v);
    return v;
}

std::vector<Expected> expectedEntries(const QString& name) {
    QFile f(casePath(name, "entries.txt"));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(f.fileName()));
    std::vector<Expected> entries;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QStringList parts = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (parts.size() == 3)
            entries.push_back({parts[0], parts[1], parts[2]});
    }
    return entries;
}

// "Layout=cards Cards=3x3" as the settings file spells them, on A4 paper.
PrintOptions options(const QString& spec) {
    QMap<QString, QString> values;
    for (const QString& pair : spec.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        values.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    PrintOptions defaults;
    defaults.paper = PaperChoice::A4;
    return optionsFromValues(values, defaults);
}

struct Written {
    QTemporaryDir dir;
    QString path;
    std::vector<PdfPage> pages;
};

std::unique_ptr<Written> write(const QString& name, const PrintOptions& o,
                               const PaintLimits& limits = {}) {
    auto w = std::make_unique<Written>();
    w->path = w->dir.filePath(QStringLiteral("out.pdf"));
    const Vocabulary v = loadCase(name);
    const PdfOutcome outcome =
        writeWorksheetPdf(w->path, v, printableEntries(v.entries), o, limits);
    if (!outcome.ok())
        qWarning("writing %s failed: %s", qPrintable(w->path), qPrintable(outcome.io.reason));
    w->pages = pdfPages(w->path);
    return w;
}

// The card (column, row) that a point of a card page lies in.
QPoint cardAt(const PdfPage& page, const PrintOptions& o, QPointF point) {
    const double margin = o.marginMm * 72 / 25.4;
    const double width = (page.size.width() - 2 * margin) / o.cardColumns;
    const double height = (page.size.height() - 2 * margin) / o.cardRows;
    return QPoint(static_cast<int>(std::floor((point.x() - margin) / width)),
                  static_cast<int>(std::floor((point.y() - margin) / height)));
}

QRectF cardRect(const PdfPage& page, const PrintOptions& o, QPoint card) {
    const double margin = o.marginMm * 72 / 25.4;
    const double width = (page.size.width() - 2 * margin) / o.cardColumns;
    const double height = (page.size.height() - 2 * margin) / o.cardRows;
    return QRectF(margin + card.x() * width, margin + card.y() * height, width, height);
}

// The numbered rows of a test page: number -> the words after it on its line.
std::map<int, QStringList> numberedRows(const PdfPage& page) {
    std::map<int, QStringList> rows;
    const QRegularExpression numbered(QStringLiteral("^(\\d+)\\.$"));
    for (const PdfWord& n : page.words) {
        const auto m = numbered.match(n.text);
        if (!m.hasMatch())
            continue;
        std::vector<const PdfWord*> line;
        for (const PdfWord& w : page.words)
            if (w.box.left() > n.box.right() &&
                std::abs(w.box.center().y() - n.box.center().y()) < n.box.height() / 2)
                line.push_back(&w);
        std::sort(line.begin(), line.end(),
                  [](const PdfWord* a, const PdfWord* b) { return a->box.left() < b->box.left(); });
        QStringList words;
        for (const PdfWord* w : line)
            words << w->text;
        rows[m.captured(1).toInt()] = words;
    }
    return rows;
}

// The text pdftotext finds in a region of a page, in points from its top left; unlike -bbox, it
// reads every character of a page that holds very many.
QString textIn(const QString& path, int page, const QRectF& region) {
    const auto n = [](double v) { return QString::number(static_cast<int>(v)); };
    return QString::fromUtf8(runTool(
        QStringLiteral("pdftotext"),
        {QStringLiteral("-f"), n(page), QStringLiteral("-l"), n(page), QStringLiteral("-x"),
         n(region.left()), QStringLiteral("-y"), n(region.top()), QStringLiteral("-W"),
         n(region.width()), QStringLiteral("-H"), n(region.height()), path, QStringLiteral("-")}));
}

// "w1 w2 w3 ..." or "abcdefghijabc..." without a place to break, `length` characters.
QByteArray longText(bool words, int length) {
    QByteArray text;
    for (int i = 1; text.size() < length; ++i)
        text += words ? "w" + QByteArray::number(i) + ' ' : QByteArray("abcdefghij");
    return text.left(length);
}

} // namespace

class TestWorksheets : public QObject {
    Q_OBJECT

private slots:
    void entriesAppear_data();
    void entriesAppear();
    void pageCounts_data();
    void pageCounts();
    void cardBacksLieBehindFronts_data();
    void cardBacksLieBehindFronts();
    void nothingLeavesItsCard_data();
    void nothingLeavesItsCard();
    void cardWordsStayWhole_data();
    void cardWordsStayWhole();
    void listRepeatsItsHeaderRow();
    void testVariantsAndKeys();
    void pageRangeOfAPrinter_data();
    void pageRangeOfAPrinter();
    void failedOrCancelledWriteKeepsTarget();
    void paperForLocale_data();
    void paperForLocale();
    void overLongCellIsCut_data();
    void overLongCellIsCut();
};

void TestWorksheets::entriesAppear_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("spec");
    QTest::addColumn<bool>("comments");
    QTest::newRow("list, Cyrillic") << "cyrillic"
                                    << "Layout=list" << true;
    QTest::newRow("test, Cyrillic") << "cyrillic"
                                    << "Layout=test" << false;
    QTest::newRow("test backwards") << "cyrillic"
                                    << "Layout=test Direction=a2q" << false;
    QTest::newRow("fold-over, Cyrillic") << "cyrillic"
                                         << "Layout=foldover" << true;
    QTest::newRow("cards, Cyrillic") << "cyrillic"
                                     << "Layout=cards" << true;
    QTest::newRow("list, Greek") << "greek"
                                 << "Layout=list Fields=a,q" << false;
    QTest::newRow("cards, Greek") << "greek"
                                  << "Layout=cards Direction=a2q Cards=4x6" << false;
}

void TestWorksheets::entriesAppear() {
    QFETCH(QString, name);
    QFETCH(QString, spec);
    QFETCH(bool, comments);
    const auto w = write(name, options(spec));
    QVERIFY(!w->pages.empty());
    QCOMPARE(pdfFontsNotEmbedded(w->path), QStringList());
    QString all;
    for (const PdfPage& page : w->pages)
        all += page.text() + QLatin1Char(' ');
    const QStringList words = all.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const Expected& e : expectedEntries(name)) {
        QVERIFY2(words.contains(e.question), qPrintable(e.question));
        QVERIFY2(words.contains(e.answer), qPrintable(e.answer));
        if (comments && !e.comment.isEmpty())
            QVERIFY2(all.contains(e.comment), qPrintable(e.comment));
    }
}

void TestWorksheets::pageCounts_data() {
    QTest::addColumn<QString>("spec");
    QTest::addColumn<int>("pages");
    // 30 short entries. A list row takes about 6 mm, so all fit one A4 page; a fold-over row
    // holds the comment under the answer (10 mm) and a test row two lines of writing room
    // (9 mm), so they take two pages, and the test's key, one line a row, one more.
    QTest::newRow("list") << "Layout=list" << 1;
    QTest::newRow("list, larger") << "Layout=list FontScale=2" << 2;
    QTest::newRow("fold-over") << "Layout=foldover" << 2;
    QTest::newRow("fold-over, smaller") << "Layout=foldover FontScale=0.5" << 1;
    QTest::newRow("test and key") << "Layout=test" << 3;
    QTest::newRow("test, no key") << "Layout=test AnswerKey=0" << 2;
    QTest::newRow("three variants and keys") << "Layout=test Variants=3" << 9;
    // Cards: a page of fronts and a page of backs for every full or partial sheet.
    QTest::newRow("cards 2x4") << "Layout=cards" << 8;
    QTest::newRow("cards 2x2") << "Layout=cards Cards=2x2" << 16;
    QTest::newRow("cards 3x3") << "Layout=cards Cards=3x3" << 8;
    QTest::newRow("cards 4x6") << "Layout=cards Cards=4x6" << 4;
    QTest::newRow("cards on letter") << "Layout=cards Paper=letter Cards=3x5" << 4;
}

void TestWorksheets::pageCounts() {
    QFETCH(QString, spec);
    QFETCH(int, pages);
    const auto w = write(QStringLiteral("cyrillic"), options(spec));
    QCOMPARE(pdfPageCount(w->path), pages);
}

void TestWorksheets::cardBacksLieBehindFronts_data() {
    QTest::addColumn<QString>("spec");
    QTest::newRow("long edge, 2x4") << "Layout=cards Flip=long";
    QTest::newRow("long edge, 3x3") << "Layout=cards Flip=long Cards=3x3";
    QTest::newRow("short edge, 2x4") << "Layout=cards Flip=short";
    QTest::newRow("short edge, 4x6, wide margins") << "Layout=cards Flip=short Cards=4x6 Margin=25";
}

void TestWorksheets::cardBacksLieBehindFronts() {
    QFETCH(QString, spec);
    const PrintOptions o = options(spec);
    const auto w = write(QStringLiteral("cyrillic"), o);
    const std::vector<Expected> entries = expectedEntries(QStringLiteral("cyrillic"));
    const std::size_t perPage = static_cast<std::size_t>(o.cardColumns * o.cardRows);
    QCOMPARE(w->pages.size(), 2 * ((entries.size() + perPage - 1) / perPage));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const PdfPage& fronts = w->pages[2 * (i / perPage)];
        const PdfPage& backs = w->pages[2 * (i / perPage) + 1];
        const PdfWord* front = fronts.find(entries[i].question);
        const PdfWord* back = backs.find(entries[i].answer);
        QVERIFY2(front && back, qPrintable(entries[i].question));
        const QPoint frontCard = cardAt(fronts, o, front->box.center());
        const QPoint backCard = cardAt(backs, o, back->box.center());
        const int k = static_cast<int>(i % perPage);
        QCOMPARE(frontCard, QPoint(k % o.cardColumns, k / o.cardColumns));
        if (o.flip == Flip::LongEdge) {
            // Turned over the long edge, x runs the other way: the back's box is the front's
            // mirrored across the page's vertical middle.
            QCOMPARE(backCard, QPoint(o.cardColumns - 1 - frontCard.x(), frontCard.y()));
            QVERIFY2(std::abs(backs.size.width() - front->box.center().x() -
                              back->box.center().x()) < 1.0,
                     qPrintable(entries[i].question));
        } else {
            QCOMPARE(backCard, QPoint(frontCard.x(), o.cardRows - 1 - frontCard.y()));
            QVERIFY2(std::abs(front->box.center().x() - back->box.center().x()) < 1.0,
                     qPrintable(entries[i].question));
        }
    }
}

void TestWorksheets::nothingLeavesItsCard_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("spec");
    QTest::newRow("long texts, 2x4") << "long_texts"
                                     << "Layout=cards";
    QTest::newRow("long texts, 4x6, large") << "long_texts"
                                            << "Layout=cards Cards=4x6 FontScale=3";
    QTest::newRow("long texts, backwards") << "long_texts"
                                           << "Layout=cards Direction=a2q Cards=3x5";
    QTest::newRow("short words, large") << "cyrillic"
                                        << "Layout=cards Cards=4x6 FontScale=3";
}

void TestWorksheets::nothingLeavesItsCard() {
    QFETCH(QString, name);
    QFETCH(QString, spec);
    const PrintOptions o = options(spec);
    const auto w = write(name, o);
    const std::vector<Expected> entries = expectedEntries(name);
    const int perPage = o.cardColumns * o.cardRows;
    const double margin = o.marginMm * 72 / 25.4;
    for (std::size_t p = 0; p < w->pages.size(); ++p) {
        const PdfPage& page = w->pages[p];
        // Every word on a card lies inside it; the page number stays in the margin.
        std::map<std::pair<int, int>, std::vector<const PdfWord*>> cards;
        for (const PdfWord& word : page.words) {
            if (word.box.top() > page.size.height() - margin)
                continue;
            const QPoint card = cardAt(page, o, word.box.center());
            QVERIFY2(cardRect(page, o, card).adjusted(-0.5, -0.5, 0.5, 0.5).contains(word.box),
                     qPrintable(word.text));
            cards[{card.x(), card.y()}].push_back(&word);
        }
        // ... and the card holds its whole text: nothing was cut.
        for (int k = 0; k < perPage; ++k) {
            const std::size_t entry =
                p / 2 * static_cast<std::size_t>(perPage) + static_cast<std::size_t>(k);
            if (entry >= entries.size())
                break;
            const bool front = p % 2 == 0;
            const bool q2a = o.direction == Direction::QuestionToAnswer;
            const Expected& e = entries[entry];
            const QString expected =
                front ? (q2a ? e.question : e.answer) : (q2a ? e.answer : e.question) + e.comment;
            QPoint card(k % o.cardColumns, k / o.cardColumns);
            if (!front)
                card.setX(o.cardColumns - 1 - card.x());
            auto& words = cards[{card.x(), card.y()}];
            std::sort(words.begin(), words.end(), [](const PdfWord* a, const PdfWord* b) {
                return std::pair(a->box.top(), a->box.left()) <
                       std::pair(b->box.top(), b->box.left());
            });
            QString printed;
            for (const PdfWord* word : words)
                printed += word->text;
            QCOMPARE(printed, QString(expected).remove(QLatin1Char(' ')));
        }
    }
}

void TestWorksheets::cardWordsStayWhole_data() {
    QTest::addColumn<QString>("spec");
    QTest::newRow("4x6") << "Layout=cards Cards=4x6";
    QTest::newRow("3x5, larger, backwards") << "Layout=cards Cards=3x5 FontScale=2 Direction=a2q";
    QTest::newRow("2x4, largest") << "Layout=cards FontScale=3";
}

// Ordinary long words are made smaller on a narrow card, not broken in two.
void TestWorksheets::cardWordsStayWhole() {
    QFETCH(QString, spec);
    const PrintOptions o = options(spec);
    const auto w = write(QStringLiteral("long_words"), o);
    const auto perPage = static_cast<std::size_t>(o.cardColumns * o.cardRows);
    const std::vector<Expected> entries = expectedEntries(QStringLiteral("long_words"));
    const bool q2a = o.direction == Direction::QuestionToAnswer;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Expected& e = entries[i];
        const PdfPage& fronts = w->pages.at(2 * (i / perPage));
        const PdfPage& backs = w->pages.at(2 * (i / perPage) + 1);
        for (const QString& word : (q2a ? e.question : e.answer).split(QLatin1Char(' ')))
            QVERIFY2(fronts.has(word), qPrintable(word));
        for (const QString& word : (q2a ? e.answer : e.question).split(QLatin1Char(' ')))
            QVERIFY2(backs.has(word), qPrintable(word));
    }
}

void TestWorksheets::listRepeatsItsHeaderRow() {
    const auto w =
        write(QStringLiteral("cyrillic"), options(QStringLiteral("Layout=list FontScale=2.5")));
    QVERIFY(w->pages.size() >= 2);
    std::multiset<QString> questions;
    for (const PdfPage& page : w->pages) {
        // The column captions are the languages of the description, at the top of each page.
        const PdfWord* english = page.find(QStringLiteral("English"));
        const PdfWord* russian = page.find(QStringLiteral("Russian"));
        QVERIFY(english && russian);
        for (const Expected& e : expectedEntries(QStringLiteral("cyrillic"))) {
            const PdfWord* q = page.find(e.question);
            if (!q)
                continue;
            questions.insert(e.question);
            QVERIFY(q->box.top() > english->box.bottom());
            // A row never breaks: its answer stands beside its question.
            const PdfWord* a = page.find(e.answer);
            QVERIFY2(a && std::abs(a->box.top() - q->box.top()) < q->box.height(),
                     qPrintable(e.question));
        }
    }
    QCOMPARE(questions.size(), expectedEntries(QStringLiteral("cyrillic")).size());
    QCOMPARE(std::set<QString>(questions.begin(), questions.end()).size(), questions.size());
}

void TestWorksheets::testVariantsAndKeys() {
    const PrintOptions o = options(QStringLiteral("Layout=test Variants=3 Seed=7"));
    const auto w = write(QStringLiteral("cyrillic"), o);
    std::map<QString, QString> answerOf;
    QStringList all;
    for (const Expected& e : expectedEntries(QStringLiteral("cyrillic"))) {
        answerOf[e.question] = e.answer;
        all << e.question;
    }
    // Pages by the part their footer names: "Variant B · Page 2", "Answer key – Variant B · ..."
    std::map<QString, std::map<int, QStringList>> parts;
    for (const PdfPage& page : w->pages) {
        const QString text = page.text();
        const auto m = QRegularExpression(QStringLiteral("(Answer key – )?Variant ([A-Z]) · Page"))
                           .match(text);
        QVERIFY2(m.hasMatch(), qPrintable(text.right(60)));
        const QString part =
            (m.captured(1).isEmpty() ? QStringLiteral("test ") : QStringLiteral("key ")) +
            m.captured(2);
        for (const auto& [number, words] : numberedRows(page))
            parts[part][number] = words;
    }
    QCOMPARE(parts.size(), std::size_t(6));
    std::set<QStringList> orders;
    for (const char* letter : {"A", "B", "C"}) {
        const QString variant = QLatin1String(letter);
        QStringList order, keyOrder;
        for (const auto& [number, words] : parts[QStringLiteral("test ") + variant])
            order << words.value(0);
        QCOMPARE(static_cast<int>(parts[QStringLiteral("test ") + variant].rbegin()->first),
                 all.size());
        QStringList sorted = order, expected = all;
        sorted.sort();
        expected.sort();
        QCOMPARE(sorted, expected); // the same entries ...
        orders.insert(order);
        // ... and the key gives, number by number, the answer to that variant's question.
        for (const auto& [number, words] : parts[QStringLiteral("key ") + variant]) {
            QCOMPARE(words.value(0), order.value(number - 1));
            QCOMPARE(words.value(1), answerOf[order.value(number - 1)]);
        }
        QCOMPARE(parts[QStringLiteral("key ") + variant].size(), order.size());
    }
    QCOMPARE(orders.size(), std::size_t(3)); // ... in orders of their own
}

void TestWorksheets::pageRangeOfAPrinter_data() {
    QTest::addColumn<QString>("spec");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("a variant's key") << "Layout=test Variants=3" << 8 << 9;
    QTest::newRow("the first page") << "Layout=test" << 1 << 1;
    QTest::newRow("cards, past the end") << "Layout=cards" << 7 << 20;
    QTest::newRow("from the middle on") << "Layout=foldover FontScale=2" << 2 << 0;
}

// The pages a printer dialog asks for, and only those, each as it is in the whole sheet.
void TestWorksheets::pageRangeOfAPrinter() {
    QFETCH(QString, spec);
    QFETCH(int, first);
    QFETCH(int, last);
    const auto whole = write(QStringLiteral("cyrillic"), options(spec));
    PaintLimits limits;
    limits.firstPage = first;
    limits.lastPage = last;
    const auto part = write(QStringLiteral("cyrillic"), options(spec), limits);
    const int end = last > 0 ? std::min<int>(last, static_cast<int>(whole->pages.size()))
                             : static_cast<int>(whole->pages.size());
    QCOMPARE(static_cast<int>(part->pages.size()), end - first + 1);
    for (int p = first; p <= end; ++p)
        QCOMPARE(part->pages[static_cast<std::size_t>(p - first)].text(),
                 whole->pages[static_cast<std::size_t>(p - 1)].text());
}

void TestWorksheets::failedOrCancelledWriteKeepsTarget() {
    QTemporaryDir dir;
    const Vocabulary v = loadCase(QStringLiteral("cyrillic"));
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/out.pdf"));
    const PdfOutcome failed =
        writeWorksheetPdf(missing, v, printableEntries(v.entries), options({}));
    QVERIFY(!failed.io.ok);
    QCOMPARE(failed.io.path, missing);
    QVERIFY(!failed.io.reason.isEmpty());

    const QString kept = dir.filePath(QStringLiteral("kept.pdf"));
    QFile old(kept);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    PaintLimits limits;
    limits.cancel = [] { return true; };
    const PdfOutcome cancelled = writeWorksheetPdf(kept, v, printableEntries(v.entries),
                                                   options(QStringLiteral("Layout=cards")), limits);
    QVERIFY(!cancelled.ok());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.pdf")});
}

void TestWorksheets::paperForLocale_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("paper");
    QTest::newRow("United States") << "en_US.UTF-8" << int(PaperChoice::Letter);
    QTest::newRow("French Canada") << "fr_CA.UTF-8" << int(PaperChoice::Letter);
    QTest::newRow("Mexico") << "es_MX" << int(PaperChoice::Letter);
    QTest::newRow("Britain") << "en_GB.UTF-8" << int(PaperChoice::A4);
    QTest::newRow("Russia") << "ru_RU.UTF-8" << int(PaperChoice::A4);
    QTest::newRow("with a modifier") << "de_DE@euro" << int(PaperChoice::A4);
    QTest::newRow("C") << "C" << int(PaperChoice::A4);
    QTest::newRow("none") << "" << int(PaperChoice::A4);
}

void TestWorksheets::paperForLocale() {
    QFETCH(QString, locale);
    QFETCH(int, paper);
    QCOMPARE(int(lexanta::paperForLocale(locale)), paper);
}

void TestWorksheets::overLongCellIsCut_data() {
    QTest::addColumn<QString>("spec");
    QTest::addColumn<int>("field"); // -1: the title
    QTest::addColumn<bool>("words");
    QTest::addColumn<int>("page"); // where the cell is printed
    QTest::addColumn<int>("length");
    QTest::newRow("card front") << "Layout=cards Cards=4x6" << int(kQuestion) << true << 1
                                << 100000;
    QTest::newRow("card back, one word")
        << "Layout=cards Cards=4x6" << int(kAnswer) << false << 2 << 100000;
    QTest::newRow("list") << "Layout=list" << int(kQuestion) << true << 1 << 300000;
    QTest::newRow("test, one word")
        << "Layout=test Seed=1" << int(kQuestion) << false << 1 << 300000;
    // Half a page holds some 300,000 characters at the smallest size.
    QTest::newRow("fold-over, comment")
        << "Layout=foldover" << int(kComment) << true << 1 << 600000;
    QTest::newRow("title, one word") << "Layout=list" << -1 << false << 1 << 300000;
}

// A cell far longer than a page holds is printed down to the smallest size, then cut (a title
// at a quarter of the page): its start is there, its last line shown ends in the cut mark, and
// the other entries follow.
void TestWorksheets::overLongCellIsCut() {
    QFETCH(QString, spec);
    QFETCH(int, field);
    QFETCH(bool, words);
    QFETCH(int, page);
    QFETCH(int, length);
    const QByteArray text = longText(words, length);
    Vocabulary v = loadCase(QStringLiteral("cyrillic"));
    if (field < 0)
        v.header.title = text.toStdString();
    else
        v.entries.setText(0, field, text.toStdString());
    std::vector<int> entries = printableEntries(v.entries);
    if (spec.contains(QLatin1String("test")))
        entries.resize(1); // the long question alone, whatever the order
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.pdf"));
    QVERIFY(writeWorksheetPdf(path, v, entries, options(spec)).ok());
    const std::vector<PdfPage> pages = pdfPages(path);
    QVERIFY(pages.size() >= static_cast<std::size_t>(page));
    const PdfPage& printed = pages[static_cast<std::size_t>(page - 1)];
    const QString start = QString::fromLatin1(text.left(12)).section(QLatin1Char(' '), 0, 0);
    const auto first = std::find_if(printed.words.begin(), printed.words.end(),
                                    [&](const PdfWord& w) { return w.text.startsWith(start); });
    QVERIFY2(first != printed.words.end(), qPrintable(printed.text().left(200)));

    // The cell's region: from its first line down to the foot of its card or of the body.
    const PrintOptions o = options(spec);
    const double margin = o.marginMm * 72 / 25.4;
    QRectF cell(0, first->box.top() - 1, printed.size.width(), 0);
    if (o.layout == SheetLayout::Cards) {
        cell = cardRect(printed, o, cardAt(printed, o, first->box.center()));
        for (const PdfWord& w : printed.words)
            if (cell.contains(w.box.center()))
                QVERIFY2(cell.adjusted(-0.5, -0.5, 0.5, 0.5).contains(w.box), qPrintable(w.text));
    } else {
        // The column reaches to the next caption on the line above the cell, or the margin.
        double above = 0, right = printed.size.width() - margin;
        for (const PdfWord& w : printed.words)
            if (w.box.bottom() < first->box.top())
                above = std::max(above, w.box.bottom());
        for (const PdfWord& w : printed.words)
            if (std::abs(w.box.bottom() - above) < 1 && w.box.left() > first->box.left() + 5)
                right = std::min(right, w.box.left() - 2);
        cell.setLeft(first->box.left() - 1);
        cell.setRight(right);
        cell.setBottom(field < 0 ? cell.top() + (printed.size.height() - 2 * margin) / 4
                                 : printed.size.height() - margin);
    }
    // Its last lines: what the whole text has there, up to the mark.
    const QString end =
        textIn(path, page, QRectF(cell.left(), cell.bottom() - 40, cell.width(), 40)).trimmed();
    const qsizetype mark = end.lastIndexOf(QChar(u'…'));
    QVERIFY2(mark > 0 && (field < 0 || mark == end.size() - 1), qPrintable(end.right(80)));
    QString shown = end.left(mark).simplified();
    if (!words)
        shown.remove(QLatin1Char(' '));
    QVERIFY(shown.size() > 20);
    QVERIFY2(QString::fromLatin1(text).contains(shown), qPrintable(shown.right(80)));

    // The entries after it are printed too.
    QString all;
    for (const PdfPage& p : pages)
        all += p.text() + QLatin1Char(' ');
    const std::vector<Expected> expected = expectedEntries(QStringLiteral("cyrillic"));
    for (std::size_t i = 1; i < entries.size(); ++i)
        QVERIFY2(all.contains(expected[i].answer), qPrintable(expected[i].answer));
}

QTEST_MAIN(TestWorksheets)
#include "test_worksheets.moc"
