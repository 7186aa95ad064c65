// Every change of the document is one undo step: after a command and its Undo the document's
// bytes, description, fonts and file name are what they were; Redo gives the command's result
// again; and the modified state follows what was last loaded or saved.
#include "document/document.h"
#include "platform/collation.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <functional>

using namespace lexanta;

namespace {

// Blank rows, line breaks, blanks to trim, duplicates for the frequency analysis, extra
// fields: something for every command to change.
const char kMessy[] =
    "Vocabulary Format 1\r\nEnglish\r\nGerman\r\nMessy\r\nTeacher\r\n01.02.2003\r\n"
    "00000409\r\n00000407\r\n00000409\r\n10\r\n"
    "Arial\r\n-2147483640\r\n0\r\n0\r\n0\r\n0\r\n1\r\n"
    "Arial\r\n0\r\n1\r\n0\r\n0\r\n0\r\n1\r\n"
    "Arial\r\n-2147483640\r\n0\r\n1\r\n0\r\n0\r\n0\r\n"
    "0\r\n"
    "dog\r\n\r\nHund\r\n1\r\n2\r\n"
    "\r\n\r\n\r\nkeep\r\nme\r\n"
    "  cat \r\nkat\r\nKatze\r\n0\r\n0\r\n"
    "Cat\r\n\r\n\r\n0\r\n0\r\n"
    "ant\r\n\r\nAmeise\r\n0\r\n0\r\n"
    "\r\n\r\n\r\n0\r\n0";

struct Files {
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& bytes) const {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qWarning("cannot write %s", qPrintable(f.fileName()));
        return f.fileName();
    }
};

// What a step must give back: the file's bytes and everything the file does not carry.
struct Snapshot {
    std::string bytes;
    VocabularyHeader header;
    FileState file;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const Document& d) {
    return {d.bytes(), d.header(), d.fileState()};
}

using Command = std::function<void(Document&, const Files&)>;

const KeyCollator& collator() {
    static const KeyCollator c(QStringLiteral("en_US"));
    return c;
}

} // namespace

Q_DECLARE_METATYPE(Command)

class TestDocumentUndo : public QObject {
    Q_OBJECT

private slots:
    void undoRedo_data() {
        QTest::addColumn<Command>("command");
        // Whether the document counts as saved afterwards, and after the Undo.
        QTest::addColumn<bool>("savedAfter");
        QTest::addColumn<bool>("savedAfterUndo");
        const auto row = [](const char* name, Command c, bool after = false, bool undone = true) {
            QTest::newRow(name) << c << after << undone;
        };
        row("typing in a cell", [](Document& d, const Files&) {
            for (const char* text : {"d", "do", "dot"})
                d.setText(0, kQuestion, text, 7);
        });
        row("insert", [](Document& d, const Files&) {
            Entry e;
            e[kQuestion] = "new";
            e[kExtra1] = e[kExtra2] = "0";
            d.insertEntry(2, e);
        });
        row("delete", [](Document& d, const Files&) { d.deleteEntry(1); });
        row("row drag", [](Document& d, const Files&) { d.moveEntry(0, 4); });
        row("column drag", [](Document& d, const Files&) { d.moveField(0, 2); });
        row("sort by questions",
            [](Document& d, const Files&) { d.sortBy(kQuestion, collator()); });
        row("sort by answers", [](Document& d, const Files&) { d.sortBy(kAnswer, collator()); });
        row("shuffle", [](Document& d, const Files&) { d.shuffle(12345); });
        row("swap", [](Document& d, const Files&) { d.swapQuestionAnswer(); });
        row("frequency analysis",
            [](Document& d, const Files&) { d.frequencyAnalysis(collator()); });
        row("font", [](Document& d, const Files&) {
            FieldFont f = d.font(kAnswer);
            f.face = "Times New Roman";
            f.charset = kCharsetCyrillic;
            d.setFont(kAnswer, f);
        });
        row("font size", [](Document& d, const Files&) { d.setFontSize(14); });
        row("captured layout", [](Document& d, const Files&) { d.setLayoutName(1, "00000419"); });
        row("description typing", [](Document& d, const Files&) {
            for (const char* text : {"T", "Ti", "Tit"})
                d.setDescription(DescriptionField::Title, text, 3);
        });
        row("merge", [](Document& d, const Files& f) {
            QVERIFY(d.merge(f.write("other.lut", kMessy)).ok());
        });
        row("special import", [](Document& d, const Files& f) {
            QVERIFY(
                d.specialImport(f.write("src.lut", "0\r\nant\r\ninsect\r\nFourmi\r\n0\r\n0")).ok());
        });
        row(
            "save with its clean-up passes",
            [](Document& d, const Files&) {
                SaveOptions o;
                o.removeBlankLines = true;
                QVERIFY(d.save(o).ok());
            },
            true, false);
        row(
            "new", [](Document& d, const Files&) { d.newVocabulary(); }, true, false);
        row(
            "load",
            [](Document& d, const Files& f) {
                QVERIFY(d.load(f.write("old.lut", "0\r\nhouse\r\nhaus\r\nHaus\r\n7\r\nx")).ok());
            },
            true, false);
        row("import", [](Document& d, const Files& f) {
            QVERIFY(d.importText(f.write("w.txt", " a \tb\nc\td\n"), ImportFormat::TwoFields).ok());
        });
    }

    void undoRedo() {
        QFETCH(Command, command);
        QFETCH(bool, savedAfter);
        QFETCH(bool, savedAfterUndo);
        Files files;
        Document d;
        QVERIFY(d.load(files.write("messy.lut", kMessy)).ok());
        QVERIFY(!d.isModified());
        QSignalSpy modified(&d, &Document::modifiedChanged);

        const Snapshot before = snapshot(d);
        command(d, files);
        if (QTest::currentTestFailed())
            return;
        const Snapshot after = snapshot(d);
        QVERIFY(!(after == before));
        QCOMPARE(d.isModified(), !savedAfter);

        d.undoStack()->undo();
        QVERIFY(snapshot(d) == before);
        QCOMPARE(d.isModified(), !savedAfterUndo);
        d.undoStack()->redo();
        QVERIFY(snapshot(d) == after);
        QCOMPARE(d.isModified(), !savedAfter);
        QVERIFY(!modified.isEmpty());
    }

    // A save ends a typing step: Undo after it goes back to the saved text, not before it.
    void typingAfterASaveIsANewStep() {
        Files files;
        Document d;
        QVERIFY(d.load(files.write("messy.lut", kMessy)).ok());
        d.setText(0, kAnswer, "H", 1);
        QVERIFY(d.saveAs(files.dir.filePath("s.lut"), SaveOptions{false, false, {}}).ok());
        const std::string saved = d.bytes();
        d.setText(0, kAnswer, "Hu", 1);
        QVERIFY(d.isModified());
        d.undoStack()->undo();
        QCOMPARE(d.bytes(), saved);
        QVERIFY(!d.isModified());
    }

    // A failed write claims nothing: the name stays, the document stays modified.
    void failedSaveAsKeepsTheName() {
        Files files;
        Document d;
        const QString path = files.write("messy.lut", kMessy);
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
        Files files;
        QByteArray data = "0\r\n";
        for (int i = 0; i < 20000; ++i)
            data += QByteArray::number((i * 7919) % 20000) + "\r\n\r\n\r\n0\r\n0\r\n";
        data.chop(2);
        Document d;
        QVERIFY(d.load(files.write("many.lut", data)).ok());
        const std::string before = d.bytes();
        d.sortBy(kQuestion, collator());
        QVERIFY(d.bytes() != before);
        d.undoStack()->undo();
        QCOMPARE(d.bytes(), before);
    }
};

QTEST_GUILESS_MAIN(TestDocumentUndo)
#include "test_document_undo.moc"
