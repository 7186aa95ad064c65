// The list check on the cases of tests/data/check/<case>/: input.lut, args (kinds=...,
// dictionary=FIELD=NAME,...) and expected.txt, the findings one a line as lexanta-tool check
// prints them. The same cases then follow edits, inserts, removals and moves, and must end
// where a fresh check of the changed list ends.
#include "core/check/check_text.h"
#include "core/check/list_check.h"
#include "core/vocab/lut_format.h"
#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace lexanta;

namespace {

const QString kCases = QStringLiteral(LEXANTA_TEST_DATA "/check");

CheckOptions optionsOf(const QString& folder) {
    CheckOptions options;
    QFile file(folder + QStringLiteral("/args"));
    if (!file.open(QIODevice::ReadOnly))
        return options;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString key = line.section(QLatin1Char('='), 0, 0);
        const QString value = line.section(QLatin1Char('='), 1);
        if (key == QLatin1String("kinds")) {
            options.kinds = 0;
            for (const QString& id : value.split(QLatin1Char(',')))
                options.kinds |= kindBit(*kindOfId(id));
        } else if (key == QLatin1String("dictionary")) {
            for (const QString& item : value.split(QLatin1Char(',')))
                options.dictionaries[item.section(QLatin1Char('='), 0, 0).toInt()] =
                    item.section(QLatin1Char('='), 1);
        }
    }
    return options;
}

bool load(const QString& folder, Vocabulary& vocabulary) {
    std::string bytes;
    return readWholeFile(folder + QStringLiteral("/input.lut"), bytes) &&
           readVocabulary(std::move(bytes), vocabulary);
}

QString lines(const ListCheck& check) {
    QString out;
    for (const Finding& f : check.findings()) {
        const QStringList suggestions =
            f.problem == Problem::Misspelt ? check.suggestions(f.field, f.text) : QStringList();
        out += QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                   .arg(f.entry + 1)
                   .arg(fieldTitle(f.field, true), kindId(f.kind), describe(f, check.setup(), true),
                        suggestions.value(0));
    }
    return out;
}

} // namespace

class TestListCheck : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void findings_data();
    void findings();
    void followsChanges_data() { findings_data(); }
    void followsChanges();
};

void TestListCheck::initTestCase() {
    // The root collation and the 1252 system page, whatever the machine's locale.
    qputenv("LC_ALL", "C.UTF-8");
}

void TestListCheck::findings_data() {
    QTest::addColumn<QString>("folder");
    for (const QString& name : QDir(kCases).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        QTest::newRow(qPrintable(name)) << kCases + QLatin1Char('/') + name;
}

void TestListCheck::findings() {
    QFETCH(QString, folder);
    Vocabulary vocabulary;
    QVERIFY(load(folder, vocabulary));
    ListCheck check;
    check.run(vocabulary, optionsOf(folder));
    QFile expected(folder + QStringLiteral("/expected.txt"));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    QCOMPARE(lines(check), QString::fromUtf8(expected.readAll()));
}

void TestListCheck::followsChanges() {
    QFETCH(QString, folder);
    Vocabulary vocabulary;
    QVERIFY(load(folder, vocabulary));
    const CheckOptions options = optionsOf(folder);
    ListCheck followed;
    followed.run(vocabulary, options);
    ListCheckFollower follower;
    follower.follow(&followed);
    EntryTable& table = vocabulary.entries;
    table.setObserver(&follower);
    const auto same = [&](const char* step) {
        followed.update(vocabulary);
        ListCheck fresh;
        fresh.run(vocabulary, options);
        if (lines(followed) != lines(fresh))
            qWarning("after %s", step);
        QCOMPARE(lines(followed), lines(fresh));
    };
    const std::string first(table.text(0, kQuestion));
    table.setText(1, kQuestion, first); // joins the group of entry 0, or starts one
    same("an edit");
    table.setText(0, kAnswer, "  another  answer ");
    same("an answer's edit");
    table.insertEntries(0, 2);
    table.setText(1, kQuestion, first);
    same("an insert at the top");
    table.moveEntry(0, table.entryCount() - 1);
    same("a move to the end");
    table.moveEntry(table.entryCount() - 2, 0);
    same("a move to the top");
    table.removeEntries(2, 1);
    same("a removal");
    std::vector<int> reversed(static_cast<std::size_t>(table.entryCount()));
    for (int i = 0; i < table.entryCount(); ++i)
        reversed[static_cast<std::size_t>(i)] = table.entryCount() - 1 - i;
    table.reorder(0, reversed);
    same("a reversal");
    table.setEntryCount(table.entryCount() + 1);
    same("an empty entry at the end");
    table.setObserver(nullptr);
}

QTEST_APPLESS_MAIN(TestListCheck)
#include "test_list_check.moc"
