// A list from another format becomes a new vocabulary or joins the open one in one undo step.
#include "core/interchange/list_formats.h"
#include "document/document.h"

#include <QTest>

using namespace lexanta;

namespace {

const QString kAnimals = QStringLiteral(LEXANTA_TEST_DATA "/animals.lut");

MappedList mapCsv(const std::string& csv, const std::array<int, 3>& charsets) {
    ReadList list;
    if (readList(ListFormat::Csv, csv, {}, list).isError())
        qFatal("unreadable list");
    MappingChoices choices;
    choices.columns = defaultColumns(list);
    choices.skipFirstRow = list.firstRowIsHeader;
    choices.charsets = charsets;
    return mapToEntries(list.sheet, choices);
}

} // namespace

class TestDocumentLists : public QObject {
    Q_OBJECT

private slots:
    void importList_data() {
        QTest::addColumn<bool>("append");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("answerCharset");
        QTest::newRow("new vocabulary") << false << 2 << 204;
        QTest::newRow("appended") << true << 4 << 1;
    }
    void importList() {
        QFETCH(bool, append);
        QFETCH(int, entries);
        QFETCH(int, answerCharset);
        Document doc;
        QVERIFY(doc.load(kAnimals).ok());
        const std::string before = doc.bytes();
        const int steps = doc.undoStack()->count();
        const std::array<int, 3> charsets{1, append ? 1 : 204, 1};
        const std::string csv = append ? "owl,Eule\r\nbee,Biene\r\n" : "owl,сова\r\nbee,пчела\r\n";
        ListDescription description;
        description.title = QStringLiteral("Birds");
        QVERIFY(doc.importList(QStringLiteral("x.csv"), mapCsv(csv, charsets), description,
                               charsets, append)
                    .ok());
        QCOMPARE(doc.entries().entryCount(), entries);
        QCOMPARE(doc.font(kAnswer).charset, answerCharset);
        QCOMPARE(doc.header().title, append ? std::string("Animals") : std::string("Birds"));
        QCOMPARE(doc.undoStack()->count(), steps + 1);
        doc.undoStack()->undo();
        QCOMPARE(doc.bytes(), before);
    }

    // The open answers are Russian: read as Western they would be other characters.
    void appendKeepsTheCharsetOfFieldsWithText() {
        Document doc;
        QVERIFY(doc.load(QStringLiteral(LEXANTA_TEST_DATA "/russian_answers.lut")).ok());
        const std::string before = doc.bytes();
        const FileOutcome outcome = doc.importList(
            QStringLiteral("x.csv"), mapCsv("owl,Eule\r\n", {1, 0, 1}), {}, {1, 0, 1}, true);
        QCOMPARE(outcome.kind, FileOutcome::Kind::Rejected);
        QVERIFY(outcome.message().contains(QStringLiteral("answers")));
        QCOMPARE(doc.bytes(), before);
    }
};

QTEST_GUILESS_MAIN(TestDocumentLists)
#include "test_document_lists.moc"
