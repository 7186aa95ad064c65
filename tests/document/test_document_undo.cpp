// Every change of the document is one undo step: after a command and its Undo the document's
// bytes, description, fonts and file name are what they were; Redo gives the command's result
// again; and the modified state follows what was last loaded or saved.
#include "document/document.h"
#include "support/document_operations.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace lexanta;
using namespace lexanta::test;

namespace {

// What a step must give back: the file's bytes and everything the file does not carry.
struct Snapshot {
    std::string bytes;
    VocabularyHeader header;
    FileState file;
    bool operator==(const Snapshot&) const = default;
};

// Undo gives back the document, not the file on disk: the file's stamp is left out.
Snapshot snapshot(const Document& d) {
    FileState file = d.fileState();
    file.stamp = {};
    return {d.bytes(), d.header(), file};
}

} // namespace

class TestDocumentUndo : public QObject {
    Q_OBJECT

private slots:
    void undoRedo_data() { addOperationRows(); }

    void undoRedo() {
        QFETCH(Operation, operation);
        QFETCH(bool, savedAfter);
        QFETCH(bool, savedAfterUndo);
        OperationFiles files;
        Document d;
        QVERIFY(d.load(files.messy).ok());
        QVERIFY(!d.isModified());
        QSignalSpy modified(&d, &Document::modifiedChanged);

        const Snapshot before = snapshot(d);
        QVERIFY(operation(d, files));
        const Snapshot after = snapshot(d);
        QVERIFY(!(after == before));
        QCOMPARE(d.isModified(), !savedAfter);

        QVERIFY(d.undo());
        QVERIFY(snapshot(d) == before);
        QCOMPARE(d.isModified(), !savedAfterUndo);
        QVERIFY(d.redo());
        QVERIFY(snapshot(d) == after);
        QCOMPARE(d.isModified(), !savedAfter);
        QVERIFY(!modified.isEmpty());
    }

    // The keystrokes of one visit of a field are one step.
    void typingOfOneVisitIsOneStep() {
        OperationFiles files;
        Document d;
        QVERIFY(d.load(files.messy).ok());
        const std::string before = d.bytes();
        for (const char* text : {"d", "do", "dot"})
            QVERIFY(d.setText(0, kQuestion, text, 7));
        QVERIFY(d.undo());
        QCOMPARE(d.bytes(), before);
    }

    // A save ends a typing step: Undo after it goes back to the saved text, not before it.
    void typingAfterASaveIsANewStep() {
        OperationFiles files;
        Document d;
        QVERIFY(d.load(files.messy).ok());
        d.setText(0, kAnswer, "H", 1);
        SaveOptions options;
        options.cleanUp = false;
        QVERIFY(d.saveAs(files.dir.filePath("s.lut"), options).ok());
        const std::string saved = d.bytes();
        d.setText(0, kAnswer, "Hu", 1);
        QVERIFY(d.isModified());
        d.undoStack()->undo();
        QCOMPARE(d.bytes(), saved);
        QVERIFY(!d.isModified());
        // Undone past the save, then changed: the saved state cannot come back, so no step
        // leads to an unmodified document.
        QVERIFY(d.undo());
        QVERIFY(d.setText(0, kComment, "x", 2));
        QVERIFY(!d.redo());
        QVERIFY(d.isModified());
        QVERIFY(d.undo());
        QVERIFY(d.isModified());
        QVERIFY(d.redo());
        QVERIFY(d.isModified());
    }

    // A failed write claims nothing: the name stays, the document stays modified.
    void failedSaveAsKeepsTheName() {
        OperationFiles files;
        Document d;
        const QString path = files.messy;
        QVERIFY(d.load(path).ok());
        d.setText(0, kQuestion, "x");
        const FileOutcome out = d.saveAs(files.dir.filePath("missing/dir/x.lut"), {});
        QCOMPARE(out.kind, FileOutcome::Kind::Unwritable);
        QVERIFY(out.message().contains(QStringLiteral("missing/dir/x.lut")));
        QCOMPARE(d.fileName(), path);
        QVERIFY(d.isModified());
    }

    // Undoing a sort of many entries keeps one index per entry (measured in bench/).
    void sortOfManyEntriesUndoesExactly() {
        OperationFiles files;
        QByteArray data = "0\r\n";
        for (int i = 0; i < 20000; ++i)
            data += QByteArray::number((i * 7919) % 20000) + "\r\n\r\n\r\n0\r\n0\r\n";
        data.chop(2);
        QFile many(files.dir.filePath(QStringLiteral("many.lut")));
        QVERIFY(many.open(QIODevice::WriteOnly) && many.write(data) == data.size());
        many.close();
        Document d;
        QVERIFY(d.load(many.fileName()).ok());
        const std::string before = d.bytes();
        QVERIFY(d.sortBy(kQuestion, operationCollator()));
        QVERIFY(d.bytes() != before);
        d.undoStack()->undo();
        QCOMPARE(d.bytes(), before);
    }
};

QTEST_GUILESS_MAIN(TestDocumentUndo)
#include "test_document_undo.moc"
