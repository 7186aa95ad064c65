// The grid's model keeps Qt's model contract through every change of the document: inserts,
// removals and moves where they happen, rearrangements that take persistent indexes along
// with their entries, replacements as resets.
#include "document/document.h"
#include "gui/editing/entry_grid_model.h"
#include "platform/collation.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <QTest>

using namespace lexanta;

namespace {

void fill(Document& d, const QStringList& questions) {
    for (int i = 0; i < questions.size(); ++i) {
        Entry e;
        e[kQuestion] = questions[i].toStdString();
        d.insertEntry(d.entries().entryCount(), e);
    }
    d.deleteEntry(0); // the empty entry a new document starts with
}

QString question(const QPersistentModelIndex& i) {
    return i.sibling(i.row(), 0).data().toString();
}

} // namespace

class TestEntryGridModel : public QObject {
    Q_OBJECT

private slots:
    void contractHoldsThroughEveryChange() {
        Document d;
        EntryGridModel model(d);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        fill(d, {"e", "b", "d", "a", "c"});
        QCOMPARE(model.rowCount(), 5);

        // A persistent index stays with its entry however the rows around it change.
        QPersistentModelIndex d4 = model.index(2, 0); // "d", entry 2
        d.insertEntry(0, Entry{});
        d.insertEntry(0, Entry{});
        QCOMPARE(question(d4), QStringLiteral("d"));
        QCOMPARE(d4.row(), 4);
        d.deleteEntry(0);
        QCOMPARE(question(d4), QStringLiteral("d"));
        d.moveEntry(3, 0); // "d" dragged to the top
        QCOMPARE(d4.row(), 0);
        // So do indexes on every row, in two columns.
        QList<QPersistentModelIndex> all;
        QStringList questions;
        for (int row = 0; row < model.rowCount(); ++row)
            for (const int column : {0, 2}) {
                all << model.index(row, column);
                questions << question(all.back());
            }
        const KeyCollator collator(QStringLiteral("en_US"));
        d.sortBy(kQuestion, collator);
        QCOMPARE(question(d4), QStringLiteral("d"));
        QCOMPARE(model.index(0, 0).data().toString(), QString()); // the empty entry first
        d.shuffle(7);
        QCOMPARE(question(d4), QStringLiteral("d"));
        for (qsizetype i = 0; i < all.size(); ++i) {
            QCOMPARE(question(all[i]), questions[i]);
            QCOMPARE(all[i].column(), i % 2 == 0 ? 0 : 2);
        }
        d.swapQuestionAnswer();
        d.moveField(kQuestion, kComment);
        d.frequencyAnalysis(collator);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("v.lut"));
        QVERIFY(d.saveAs(path, SaveOptions{}).ok());
        QVERIFY(d.merge(path).ok());
        QVERIFY(d.load(path).ok());
        d.newVocabulary();
        while (d.undoStack()->canUndo())
            d.undoStack()->undo();
        QCOMPARE(model.rowCount(), 1);
        while (d.undoStack()->canRedo())
            d.undoStack()->redo();
        QCOMPARE(model.rowCount(), 1);
    }

    // Edits in place are one undo step per cell and visit, and refuse what the column's code
    // page cannot hold.
    void editsGoThroughTheDocument() {
        Document d;
        EntryGridModel model(d);
        quint64 visit = 1;
        model.setEditKey([&visit] { return visit; });
        for (const char* text : {"c", "ca", "cat"})
            QVERIFY(model.setData(model.index(0, 0), QString::fromLatin1(text), Qt::EditRole));
        QCOMPARE(d.entries().text(0, kQuestion), std::string_view("cat"));
        ++visit;
        QVERIFY(model.setData(model.index(0, 1), QStringLiteral("Katze"), Qt::EditRole));
        QVERIFY(!model.setData(model.index(0, 1), QStringLiteral("Kat\U0001F600ze"), Qt::EditRole));
        d.undoStack()->undo();
        d.undoStack()->undo();
        QCOMPARE(d.entries().text(0, kQuestion), std::string_view());
        QVERIFY(!d.isModified());
    }
};

QTEST_MAIN(TestEntryGridModel)
#include "test_entry_grid_model.moc"
