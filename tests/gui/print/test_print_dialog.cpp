// File > Export as PDF in the window: the worksheet dialog driven as a user drives it, the
// PDF it writes, the rows it prints, and the choices it keeps.
#include "gui/app/form_settings.h"
#include "gui/print/print_commands.h"
#include "gui/print/worksheet_dialog.h"
#include "platform/ini_profile.h"
#include "print/pdf_output.h"
#include "support/pdf_pages.h"
#include "support/window_fixture.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTimer>

#include <functional>

using namespace lexanta;
using namespace lexanta::test;

namespace {

const QString kAnimalsRu = QStringLiteral(LEXANTA_TEST_DATA "/print/cyrillic/vocabulary.lut");

template <typename T> T* in(QWidget* dialog, const char* name) {
    T* found = dialog->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qWarning("no %s in the dialog", name);
    return found;
}

void choose(QComboBox* box, int value) {
    box->setCurrentIndex(box->findData(value));
}

// Opens the dialog with `action`, lets `use` set it up once it is shown, and presses `button`
// (or closes it when `button` is empty). False when no dialog came.
bool drive(QAction* action, const std::function<void(WorksheetDialog&)>& use, const char* button) {
    bool shown = false;
    std::function<void()> poll;
    poll = [&] {
        auto* dialog = qobject_cast<WorksheetDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(20, poll);
            return;
        }
        shown = true;
        use(*dialog);
        if (button)
            in<QPushButton>(dialog, button)->click();
        if (dialog->isVisible())
            dialog->reject();
    };
    QTimer::singleShot(0, poll);
    action->trigger();
    return shown;
}

QString pdfText(const QString& path) {
    QString all;
    for (const PdfPage& page : pdfPages(path))
        all += page.text() + QLatin1Char('\n');
    return all;
}

} // namespace

class TestPrintDialog : public QObject {
    Q_OBJECT

private slots:
    void exportsEachLayout_data() {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("pages");
        QTest::newRow("list") << int(SheetLayout::List) << "list" << 1;
        QTest::newRow("test") << int(SheetLayout::Test) << "test" << 3;
        QTest::newRow("fold-over") << int(SheetLayout::FoldOver) << "foldover" << 2;
        QTest::newRow("cards") << int(SheetLayout::Cards) << "cards" << 8;
    }
    void exportsEachLayout() {
        QFETCH(int, layout);
        QFETCH(QString, name);
        QFETCH(int, pages);
        Window w(false);
        w.load(kAnimalsRu);
        const QString pdf = w.path(name + QStringLiteral(".pdf"));
        w.dialogs.fileAnswers.push_back({pdf});
        QVERIFY(drive(
            w.action("ExportPdf1"),
            [&](WorksheetDialog& d) {
                choose(in<QComboBox>(&d, "LayoutBox"), layout);
                choose(in<QComboBox>(&d, "PaperBox"), int(PaperChoice::A4));
                QVERIFY(!in<QWidget>(&d, "SelectionOnlyBox")->isVisible());
                // LEXANTA_SCREENSHOTS=folder: a picture of the dialog, to look at.
                if (const QString folder = qEnvironmentVariable("LEXANTA_SCREENSHOTS");
                    !folder.isEmpty()) {
                    QTest::qWait(1500);
                    d.grab().save(folder + QStringLiteral("/print-") + name +
                                  QStringLiteral(".png"));
                }
            },
            "SavePdfButton"));
        QVERIFY(w.dialogs.messages.empty());
        QCOMPARE(pdfPageCount(pdf), pages);
        const QString text = pdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("кошка")) && text.contains(QStringLiteral("tiger")));
        QCOMPARE(pdfFontsNotEmbedded(pdf), QStringList());
        IniFile ini;
        QVERIFY(ini.load(w.form->printing().settingsPath()));
        QCOMPARE(ini.value(QStringLiteral("Print"), QStringLiteral("Layout")), name);
    }

    void printsTheSelectedRows() {
        Window w;
        w.load(kAnimalsRu);
        // Entries 2 to 4 (horse, cow, pig), dragged over two columns.
        QAbstractItemModel* model = w.grid()->model();
        w.grid()->selectionModel()->select(QItemSelection(model->index(2, 0), model->index(4, 1)),
                                           QItemSelectionModel::ClearAndSelect);
        const QString pdf = w.path(QStringLiteral("selected.pdf"));
        w.dialogs.fileAnswers.push_back({pdf});
        QVERIFY(drive(
            w.action("ExportPdf1"),
            [&](WorksheetDialog& d) {
                choose(in<QComboBox>(&d, "LayoutBox"), int(SheetLayout::List));
                auto* only = in<QCheckBox>(&d, "SelectionOnlyBox");
                QVERIFY(only->isVisible() && only->isChecked());
                QVERIFY(only->text().contains(QLatin1String("(3)")));
            },
            "SavePdfButton"));
        const QStringList words = pdfText(pdf).split(QRegularExpression(QStringLiteral("\\s+")));
        for (const char* word : {"horse", "cow", "pig", "лошадь", "корова", "свинья"})
            QVERIFY2(words.contains(QString::fromUtf8(word)), word);
        for (const char* word : {"cat", "dog", "sheep", "tiger"})
            QVERIFY2(!words.contains(QString::fromUtf8(word)), word);
    }

    void choicesLastBetweenRuns() {
        Window w(WindowOptions::withSettings());
        w.load(kAnimalsRu);
        w.dialogs.fileAnswers.push_back({w.path(QStringLiteral("cards.pdf"))});
        QVERIFY(drive(
            w.action("ExportPdf1"),
            [](WorksheetDialog& d) {
                choose(in<QComboBox>(&d, "LayoutBox"), int(SheetLayout::Cards));
                in<QSpinBox>(&d, "ColumnsBox")->setValue(3);
                in<QSpinBox>(&d, "RowsBox")->setValue(5);
                choose(in<QComboBox>(&d, "FlipBox"), int(Flip::ShortEdge));
                in<QDoubleSpinBox>(&d, "MarginBox")->setValue(20);
            },
            "SavePdfButton"));
        w.restart();
        QVERIFY(drive(
            w.action("Print1"),
            [](WorksheetDialog& d) {
                const PrintOptions o = d.options();
                QCOMPARE(o.layout, SheetLayout::Cards);
                QCOMPARE(o.cardColumns * 10 + o.cardRows, 35);
                QCOMPARE(o.flip, Flip::ShortEdge);
                QCOMPARE(o.marginMm, 20.0);
            },
            nullptr));
        // The window's own settings files hold none of it.
        QVERIFY(!Window::read(w.form->settings().storagePath()).contains("Cards"));
        QVERIFY(!Window::read(w.form->settings().placementPath()).contains("Cards"));
    }

    void followsTheInterfaceLanguage() {
        Window w(false);
        w.load(kAnimalsRu);
        QCOMPARE(w.action("Print1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
        const QList<QAction*> file = w.menu("N1")->actions();
        for (const char* name : {"Print1", "PrintPreview1", "ExportPdf1"})
            QVERIFY2(file.contains(w.action(name)), name);
        w.form->language().applyLanguage(InterfaceLanguage::Russian);
        QCOMPARE(w.action("Print1")->text(), QStringLiteral("&Печать..."));
        QCOMPARE(w.action("ExportPdf1")->text(), QStringLiteral("Экспорт в P&DF..."));
        const QString pdf = w.path(QStringLiteral("test.pdf"));
        w.dialogs.fileAnswers.push_back({pdf});
        QVERIFY(drive(
            w.action("ExportPdf1"),
            [](WorksheetDialog& d) {
                QCOMPARE(in<QPushButton>(&d, "PrintButton")->text(), QStringLiteral("&Печать..."));
                QCOMPARE(in<QComboBox>(&d, "LayoutBox")->itemText(0),
                         QStringLiteral("Список слов"));
                choose(in<QComboBox>(&d, "LayoutBox"), int(SheetLayout::Test));
            },
            "SavePdfButton"));
        QVERIFY(w.dialogs.saveDialogsShown.back().filter.startsWith(QStringLiteral("Файлы PDF")));
        const QString text = pdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("Тест")) &&
                text.contains(QStringLiteral("Страница 1")));
    }

    // A printer (in PDF mode here) gets the pages where the PDF writer puts them: same paper,
    // the page's corner as origin, so card backs stay behind their fronts.
    void printerPlacesPagesAsThePdf() {
        Window w(false);
        w.load(kAnimalsRu);
        PrintOptions o;
        o.layout = SheetLayout::Cards;
        o.paper = PaperChoice::Letter;
        o.marginMm = 20;
        const std::vector<int> entries = printableEntries(w.doc().entries());
        const QString printed = w.path(QStringLiteral("printer.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        printer.setPageMargins(QMarginsF(30, 30, 30, 30), QPageLayout::Millimeter);
        preparePrinter(printer, o);
        QVERIFY(paintWorksheet(printer, w.doc().vocabulary(), entries, o).complete);
        const QString written = w.path(QStringLiteral("writer.pdf"));
        QVERIFY(writeWorksheetPdf(written, w.doc().vocabulary(), entries, o).ok());
        const std::vector<PdfPage> a = pdfPages(printed), b = pdfPages(written);
        QCOMPARE(a.size(), b.size());
        QVERIFY(a.size() >= 2);
        for (std::size_t p = 0; p < 2; ++p) {
            QCOMPARE(a[p].size, b[p].size);
            QCOMPARE(a[p].words.size(), b[p].words.size());
            for (const PdfWord& word : a[p].words) {
                const PdfWord* same = b[p].find(word.text);
                QVERIFY2(same && (same->box.center() - word.box.center()).manhattanLength() < 0.5,
                         qPrintable(word.text));
            }
        }
    }

    // Print... through the printer dialog, to a PDF file here: the pages from and to the
    // numbers given there, or all of them.
    void printerDialogPageRange_data() {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("firstWord"); // of the first page printed
        QTest::newRow("cards, the backs of sheet 2")
            << int(SheetLayout::Cards) << 4 << 4 << 1 << "backs";
        QTest::newRow("cards, all") << int(SheetLayout::Cards) << 0 << 0 << 8 << "cat";
        QTest::newRow("test, its key") << int(SheetLayout::Test) << 3 << 3 << 1 << "Answer";
    }
    void printerDialogPageRange() {
        QFETCH(int, layout);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, pages);
        QFETCH(QString, firstWord);
        Window w(false);
        w.load(kAnimalsRu);
        const QString pdf = w.path(QStringLiteral("printed.pdf"));
        bool asked = false;
        std::function<void()> printerDialog;
        printerDialog = [&] {
            auto* d = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!d) {
                QTimer::singleShot(20, printerDialog);
                return;
            }
            asked = true;
            // Qt's own controls, filled in as a user fills them in.
            in<QLineEdit>(d, "filename")->setText(pdf);
            if (from > 0) {
                in<QRadioButton>(d, "printRange")->setChecked(true);
                in<QSpinBox>(d, "to")->setValue(to);
                in<QSpinBox>(d, "from")->setValue(from);
            }
            d->accept();
        };
        QVERIFY(drive(
            w.action("Print1"),
            [&](WorksheetDialog& d) {
                choose(in<QComboBox>(&d, "LayoutBox"), layout);
                QTimer::singleShot(0, printerDialog);
            },
            "PrintButton"));
        QVERIFY(asked);
        QVERIFY(w.dialogs.messages.empty());
        const std::vector<PdfPage> printed = pdfPages(pdf);
        QCOMPARE(static_cast<int>(printed.size()), pages);
        QVERIFY2(printed.front().has(firstWord), qPrintable(printed.front().text()));
    }

    void unwritablePdfIsReported() {
        Window w(false);
        w.load(kAnimalsRu);
        const QString pdf = w.path(QStringLiteral("missing/out.pdf"));
        w.dialogs.fileAnswers.push_back({pdf});
        QVERIFY(drive(
            w.action("ExportPdf1"), [](WorksheetDialog&) {}, "SavePdfButton"));
        QCOMPARE(w.dialogs.messages.size(), std::size_t(1));
        QVERIFY(w.dialogs.messages.front().text.startsWith(QStringLiteral("Cannot write ") + pdf));
        QVERIFY(!QFileInfo::exists(pdf));
    }
};

QTEST_MAIN(TestPrintDialog)
#include "test_print_dialog.moc"
