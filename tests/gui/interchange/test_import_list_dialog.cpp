// The list formats in the window: File > Import's list filters open the import dialog, which is
// worked here as a person would (offscreen); File > Export writes each list format; a dropped
// list opens the dialog.
#include "support/window_fixture.h"

#include "core/interchange/list_formats.h"
#include "gui/interchange/import_list_dialog.h"
#include "gui/widgets/qt_dialogs.h"
#include "platform/codepage.h"

#include <QComboBox>
#include <QMimeData>
#include <QRadioButton>
#include <QTableWidget>
#include <QUrl>

using namespace lexanta;
using namespace lexanta::test;

namespace {

const QString kLists = QStringLiteral(LEXANTA_TEST_DATA "/lists/");

// Index of File > Import's list filter for `format` (after the three text filters).
int importFilter(ListFormat format) {
    return 4 + static_cast<int>(format);
}

template <typename W> W* in(QDialog& dialog, const char* name) {
    W* w = dialog.findChild<W*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no %s in the dialog", name);
    return w;
}

void choose(QComboBox* box, int data) {
    box->setCurrentIndex(box->findData(data));
}

} // namespace

class TestImportListDialog : public QObject {
    Q_OBJECT

private slots:
    // LibreOffice's sheet: the header row is found, the preview shows the rows as they will
    // land (line breaks as blanks), Cyrillic is marked in a Western field until the character
    // sets are picked from the text; the report follows the import.
    void importSpreadsheet() {
        Window w(false);
        w.load(kAnimals);
        w.dialogs.fileAnswers.push_back(
            {kLists + QStringLiteral("real/libreoffice.xlsx"), importFilter(ListFormat::Xlsx)});
        w.dialogs.dialogAnswers.push_back([](QDialog& d) {
            auto* preview = in<QTableWidget>(d, "previewTable");
            if (!in<QCheckBox>(d, "headerBox")->isChecked() || preview->rowCount() != 5 ||
                preview->item(2, 1)->text() != QStringLiteral("two lines"))
                qFatal("preview");
            choose(in<QComboBox>(d, "questionCharsetBox"), 0);
            choose(in<QComboBox>(d, "answerCharsetBox"), 0);
            const bool marked = !preview->item(1, 0)->toolTip().isEmpty() &&
                                !in<QPushButton>(d, "okButton")->isEnabled() &&
                                in<QLabel>(d, "problemsLabel")
                                    ->text()
                                    .contains(QStringLiteral("Cell A3, question (code page 1252)"));
            in<QPushButton>(d, "pickCharsetsButton")->click();
            return marked && in<QComboBox>(d, "questionCharsetBox")->currentData() == 204 &&
                   in<QPushButton>(d, "okButton")->isEnabled();
        });
        w.form->interchange().importText();
        QCOMPARE(w.dialogs.dialogsShown, 1);
        QCOMPARE(w.doc().entries().entryCount(), 5);
        QCOMPARE(w.doc().font(kQuestion).charset, 204);
        QCOMPARE(CodePage::get(1251).decode(w.cells().text(1, kQuestion)), QStringLiteral("Стол"));
        QCOMPARE(w.dialogs.messageTexts(),
                 QStringList{QStringLiteral("5 entries imported; line breaks in 1 cells became "
                                            "blanks.")});
        QVERIFY(!w.action("N4")->isEnabled());
        QCOMPARE(w.form->windowTitleText(), QStringLiteral("Lexanta Editor"));
    }

    // Added to the open vocabulary, answers to questions, the lines a field cannot hold left
    // out knowingly; one Undo takes it all back.
    void appendLeavingLinesOut() {
        Window w(false);
        w.load(kAnimals);
        const std::string before = w.doc().bytes();
        w.dialogs.fileAnswers.push_back({kLists + QStringLiteral("real/libreoffice_semicolon.csv"),
                                         importFilter(ListFormat::Csv)});
        w.dialogs.dialogAnswers.push_back([](QDialog& d) {
            in<QRadioButton>(d, "appendButton")->setChecked(true);
            choose(in<QComboBox>(d, "questionColumnBox"), 1);
            choose(in<QComboBox>(d, "answerColumnBox"), 0);
            choose(in<QComboBox>(d, "commentColumnBox"), -1);
            in<QCheckBox>(d, "leaveOutBox")->setChecked(true);
            return in<QPushButton>(d, "okButton")->isEnabled();
        });
        w.form->interchange().importText();
        QCOMPARE(w.column(kQuestion),
                 (QStringList{"cat", "dog", "table, desk", "two lines", "3.5", "25%"}));
        QCOMPARE(w.column(kAnswer).at(2), QStringLiteral("Tisch"));
        QVERIFY(w.dialogs.messageTexts().first().contains(QStringLiteral("1 rows left out")));
        w.doc().undoStack()->undo();
        QCOMPARE(w.doc().bytes(), before);
    }

    // An Anki package has its own filter, last; the dialog asks for no delimiter and names the
    // columns after the note type's fields.
    void importAnkiPackage() {
        Window w(false);
        w.load(kAnimals);
        w.dialogs.fileAnswers.push_back({kLists + QStringLiteral("real/anki_2.1.50.apkg"),
                                         importFilter(ListFormat::Quizlet) + 1});
        w.dialogs.dialogAnswers.push_back([](QDialog& d) {
            return !d.findChild<QComboBox*>(QStringLiteral("delimiterBox")) &&
                   in<QComboBox>(d, "answerColumnBox")->currentText() == QLatin1String("2: Back") &&
                   in<QTableWidget>(d, "previewTable")->verticalHeaderItem(2)->text() ==
                       QLatin1String("3");
        });
        w.form->interchange().importText();
        QCOMPARE(w.dialogs.dialogsShown, 1);
        QCOMPARE(w.column(kAnswer), (QStringList{"house", "tree", "street"}));
        // The file dialog names each filter's patterns once.
        for (const QString& f : QtDialogs::nameFilters(w.dialogs.openDialogsShown.back().filter))
            QVERIFY2(f.count(QStringLiteral("(*")) == 1, qPrintable(f));
    }

    void cancelChangesNothing() {
        Window w(false);
        w.load(kAnimals);
        const std::string before = w.doc().bytes();
        w.dialogs.fileAnswers.push_back({kLists + QStringLiteral("real/kwordquiz_example.kvtml"),
                                         importFilter(ListFormat::Kvtml)});
        w.form->interchange().importText();
        QCOMPARE(w.dialogs.dialogsShown, 1);
        QCOMPARE(w.doc().bytes(), before);
        QVERIFY(w.dialogs.messages.empty());
    }

    // Every list format File > Export offers reads back to the same entries.
    void exportEachFormat_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<ListFormat>("format");
        // After the tab and HTML filters: tab UTF-8, CSV, CSV with a byte-order mark, ...
        QTest::newRow("csv") << 4 << ListFormat::Csv;
        QTest::newRow("csv with a byte-order mark") << 5 << ListFormat::Csv;
        QTest::newRow("ods") << 6 << ListFormat::Ods;
        QTest::newRow("xlsx") << 7 << ListFormat::Xlsx;
        QTest::newRow("kvtml") << 8 << ListFormat::Kvtml;
        QTest::newRow("anki") << 9 << ListFormat::Anki;
    }
    void exportEachFormat() {
        QFETCH(int, filter);
        QFETCH(ListFormat, format);
        Window w(false);
        w.load(kRussian);
        const QString out = w.path(QStringLiteral("out.") + listFormatExtension(format));
        w.dialogs.fileAnswers.push_back({out, filter});
        w.form->interchange().exportList();
        QVERIFY(w.dialogs.messages.empty());
        const QByteArray bytes = Window::read(out);
        QCOMPARE(bytes.startsWith("\xef\xbb\xbf"), filter == 5);
        ReadList list;
        QVERIFY(!readList(format, bytes.toStdString(), {}, list).isError());
        MappingChoices choices;
        choices.columns = defaultColumns(list);
        choices.skipFirstRow = list.firstRowIsHeader;
        for (int f = 0; f < 3; ++f)
            choices.charsets[f] = w.doc().font(f).charset;
        const MappedList back = mapToEntries(list.sheet, choices);
        QCOMPARE(back.entryCount, w.cells().entryCount());
        for (int r = 0; r < back.entryCount; ++r)
            for (int f = 0; f < 3; ++f)
                QCOMPARE(back.entries.text(r, f), w.cells().text(r, f));
    }

    void dropOpensTheDialog() {
        Window w(true);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(kLists + QStringLiteral("real/libreoffice.ods"))});
        const QPoint where = w.form->rect().center();
        QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.form.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.form.get(), &drop);
        QTRY_COMPARE(w.dialogs.dialogsShown, 1);
    }
};

QTEST_MAIN(TestImportListDialog)
#include "test_import_list_dialog.moc"
