// Texts that move between fields of different code pages (a fill from another vocabulary, a
// field's new script) arrive as the same characters, or keep their bytes and are named; each
// change is one undo step. Each case folder holds vocabulary.lut, the action, the expected file
// and the entries left as they were.
#include "document/document.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace lexanta;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

} // namespace

class TestFieldRecoding : public QObject {
    Q_OBJECT

private slots:
    void recoding_data() {
        QTest::addColumn<QString>("dir");
        const QDir cases(QStringLiteral(LEXANTA_TEST_DATA "/recoding"));
        for (const QString& name : cases.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QTest::newRow(qPrintable(name)) << cases.filePath(name) + '/';
    }
    void recoding() {
        QFETCH(QString, dir);
        Document doc;
        QVERIFY(doc.load(dir + "vocabulary.lut").ok());
        const std::string before = doc.bytes();
        const int steps = doc.undoStack()->count();
        const QStringList action = QString::fromLatin1(readFile(dir + "action")).split(' ');
        std::vector<int> untouched;
        if (action.first().trimmed() == "fill") {
            FillResult result;
            QVERIFY(doc.specialImport(dir + "source.lut", &result).ok());
            untouched = result.refused;
        } else {
            const int field = action.value(1).toInt();
            FieldFont font = doc.font(field);
            font.charset = action.value(2).toInt();
            const bool convert = action.value(3).trimmed() == "convert";
            untouched = doc.planCharsetChange(field, font.charset).kept;
            doc.setFont(field, font, convert ? FieldTexts::Convert : FieldTexts::KeepBytes);
            if (!convert)
                untouched.clear();
        }
        QCOMPARE(QByteArray::fromStdString(doc.bytes()), readFile(dir + "expected.lut"));
        QCOMPARE(entryNumbers(untouched),
                 QString::fromLatin1(readFile(dir + "untouched")).trimmed());
        QCOMPARE(doc.undoStack()->count(), steps + 1);
        doc.undoStack()->undo();
        QCOMPARE(doc.bytes(), before);
    }
};

QTEST_GUILESS_MAIN(TestFieldRecoding)
#include "test_field_recoding.moc"
