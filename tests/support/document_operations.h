#pragma once

// Every operation of the Document as rows of a data-driven test, each one call on a document
// that holds tests/data/document/messy.lut (blank rows, blanks to trim, duplicates, extra
// fields: something for every operation to change).

#include "document/document.h"
#include "platform/collation.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace lexanta::test {

// The files the operations read, copied into a folder of their own (a save writes there).
struct OperationFiles {
    QTemporaryDir dir;
    QString messy = copy("messy.lut");
    QString fill = copy("fill.lut");
    QString old = copy("old.lut");
    QString words = copy("words.txt");
    QString unholdable = copy("unholdable.txt"); // characters code page 1252 lacks

    QString copy(const char* name) const {
        const QString to = dir.filePath(QLatin1String(name));
        QFile::remove(to);
        QFile::copy(QStringLiteral(LEXANTA_TEST_DATA "/document/") + QLatin1String(name), to);
        return to;
    }
};

// One operation; true when the document reports it done.
using Operation = std::function<bool(Document&, const OperationFiles&)>;

inline const KeyCollator& operationCollator() {
    static const KeyCollator c(QStringLiteral("en_US"));
    return c;
}

// Columns: the operation, and whether the document counts as saved after it and after its
// Undo.
inline void addOperationRows() {
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<bool>("savedAfter");
    QTest::addColumn<bool>("savedAfterUndo");
    using F = const OperationFiles&;
    const auto row = [](const char* name, Operation op, bool after = false, bool undone = true) {
        QTest::newRow(name) << op << after << undone;
    };
    row("typing in a cell", [](Document& d, F) { return d.setText(0, kQuestion, "dot", 7); });
    row("insert", [](Document& d, F) {
        Entry e;
        e[kQuestion] = "new";
        e[kExtra1] = e[kExtra2] = "0";
        return d.insertEntry(2, e);
    });
    row("delete", [](Document& d, F) { return d.deleteEntry(1); });
    row("row drag", [](Document& d, F) { return d.moveEntry(0, 4); });
    row("column drag", [](Document& d, F) { return d.moveField(0, 2); });
    row("sort by questions",
        [](Document& d, F) { return d.sortBy(kQuestion, operationCollator()); });
    row("sort by answers", [](Document& d, F) { return d.sortBy(kAnswer, operationCollator()); });
    row("shuffle", [](Document& d, F) { return d.shuffle(12345); });
    row("swap", [](Document& d, F) { return d.swapQuestionAnswer(); });
    row("frequency analysis",
        [](Document& d, F) { return d.frequencyAnalysis(operationCollator()); });
    row("font", [](Document& d, F) {
        FieldFont f = d.font(kAnswer);
        f.face = "Times New Roman";
        f.charset = kCharsetCyrillic;
        return d.setFont(kAnswer, f);
    });
    row("font size", [](Document& d, F) { return d.setFontSize(14); });
    row("captured layout", [](Document& d, F) { return d.setLayoutName(1, "00000419"); });
    row("description typing",
        [](Document& d, F) { return d.setDescription(DescriptionField::Title, "Tit", 3); });
    row("merge", [](Document& d, F f) { return d.merge(f.messy).ok(); });
    row("special import", [](Document& d, F f) { return d.specialImport(f.fill).ok(); });
    row(
        "save with its clean-up passes",
        [](Document& d, F) {
            SaveOptions o;
            o.removeBlankLines = true;
            return d.save(o).ok();
        },
        true, false);
    row(
        "new", [](Document& d, F) { return d.newVocabulary(); }, true, false);
    row(
        "load", [](Document& d, F f) { return d.load(f.old).ok(); }, true, false);
    row("import",
        [](Document& d, F f) { return d.importText(f.words, ImportFormat::TwoFields).ok(); });
}

} // namespace lexanta::test

Q_DECLARE_METATYPE(lexanta::test::Operation)
