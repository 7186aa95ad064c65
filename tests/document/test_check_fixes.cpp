// Fixes of the list check as document steps, on tests/data/check_fixes/<case>/: input.lut,
// args (kind=..., fix=N to take fix N of the kind's first finding instead of fixing all, and
// dictionary=FIELD=NAME,...) and expected.lut. A fix is one step; its undo gives back the
// bytes the document had, its redo the expected ones.
#include "core/check/check_text.h"
#include "core/check/list_check.h"
#include "document/document.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace lexanta;

namespace {

const QString kCases = QStringLiteral(LEXANTA_TEST_DATA "/check_fixes");

QMap<QString, QString> argsOf(const QString& folder) {
    QMap<QString, QString> args;
    QFile file(folder + QStringLiteral("/args"));
    if (file.open(QIODevice::ReadOnly))
        for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
            if (!line.isEmpty())
                args.insert(line.section(QLatin1Char('='), 0, 0),
                            line.section(QLatin1Char('='), 1));
    return args;
}

QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestCheckFixes : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }
    void fixAndUndo_data();
    void fixAndUndo();
};

void TestCheckFixes::fixAndUndo_data() {
    QTest::addColumn<QString>("folder");
    for (const QString& name : QDir(kCases).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        QTest::newRow(qPrintable(name)) << kCases + QLatin1Char('/') + name;
}

void TestCheckFixes::fixAndUndo() {
    QFETCH(QString, folder);
    const QMap<QString, QString> args = argsOf(folder);
    Document doc;
    QVERIFY(doc.load(folder + QStringLiteral("/input.lut")).ok());
    const std::string before = doc.bytes();
    const std::optional<CheckKind> kind = kindOfId(args.value(QStringLiteral("kind")));
    QVERIFY(kind);
    CheckOptions options;
    options.kinds = kindBit(*kind);
    for (const QString& item :
         args.value(QStringLiteral("dictionary")).split(QLatin1Char(','), Qt::SkipEmptyParts))
        options.dictionaries[item.section(QLatin1Char('='), 0, 0).toInt()] =
            item.section(QLatin1Char('='), 1);
    ListCheck check;
    check.run(doc.vocabulary(), options);
    QVERIFY(!check.findings().empty());

    ListEdit edit;
    if (args.contains(QStringLiteral("fix"))) {
        const Finding& first = check.findings().front();
        const std::vector<Fix> fixes = fixesFor(first, check);
        const int index = args.value(QStringLiteral("fix")).toInt();
        QVERIFY(index < static_cast<int>(fixes.size()));
        edit = planFix(doc.vocabulary(), check, first, fixes[static_cast<std::size_t>(index)]);
    } else {
        edit = planFixAll(doc.vocabulary(), check, *kind);
    }
    const int steps = doc.undoStack()->count();
    doc.applyListEdit(QStringLiteral("Fix"), std::move(edit));
    QCOMPARE(doc.undoStack()->count(), steps + 1);
    const QByteArray expected = read(folder + QStringLiteral("/expected.lut"));
    QCOMPARE(QByteArray::fromStdString(doc.bytes()), expected);
    doc.undoStack()->undo();
    QCOMPARE(doc.bytes(), before);
    doc.undoStack()->redo();
    QCOMPARE(QByteArray::fromStdString(doc.bytes()), expected);
}

QTEST_APPLESS_MAIN(TestCheckFixes)
#include "test_check_fixes.moc"
