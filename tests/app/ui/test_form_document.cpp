// The main window's document state and File commands: first start, reset, layout rule,
// New, Load, Save, Save as, Merge and the close prompt, with scripted dialogs.
#include "support/window_fixture.h"
#include "vocab/lut_format.h"

#include <QComboBox>
#include <QDate>
#include <QLocale>
#include <QProgressBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>

using namespace lexanta;
using namespace lexanta::test;

namespace {

const QString kOld = QStringLiteral(LEXANTA_TEST_DATA "/old_format.lut");
const QString kTitle = QStringLiteral("Lexanta Editor");
const QString kTitleOf = QStringLiteral("Lexanta Editor: ");

QStringList savedQuestions(const QString& path) {
    Vocabulary v;
    readVocabulary(Window::read(path).toStdString(), v);
    QStringList q;
    for (int r = 1; r < v.entries.rowCount(); ++r)
        q << QString::fromUtf8(v.entries.cell(kQuestion, r));
    return q;
}

} // namespace

class TestFormDocument : public QObject {
    Q_OBJECT

private slots:
    void firstStart() {
        Window w;
        TForm1& form = *w.form;
        QCOMPARE(form.size(), QSize(646, 510));
        QVERIFY(!form.isMaximized());
        QVERIFY(form.IsEnglishInterface());
        QCOMPARE(form.RowCount(), 2);
        QCOMPARE(form.windowTitleText(), kTitle);
        QCOMPARE(form.Edit4->text(),
                 QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
        QVERIFY(!form.N4->isEnabled() && !form.SpeedItem9->isEnabled());
        QVERIFY(!form.Merge1->isEnabled() && !form.Reload1->isEnabled());
        QVERIFY(form.SpeedItem2->isChecked() && !form.EditMode);
        QVERIFY(!form.Edit3->text().isEmpty()); // the author
        QCOMPARE(form.CounterLine(), std::string("0\n"));
        QVERIFY(form.CurrentFormat());
        QVERIFY(form.ProgressBar1->isHidden());
        // the grid, with the editor already on its current cell
        EntryGrid* grid = form.StringGrid1;
        QCOMPARE((QList<int>{grid->verticalHeader()->width(), grid->columnWidth(0),
                             grid->columnWidth(1), grid->columnWidth(2), grid->rowHeight(1)}),
                 (QList<int>{21, 265, 252, 230, 20}));
        QCOMPARE(QPoint(grid->Col(), grid->Row()), QPoint(1, 1));
        QVERIFY(w.editor()->isVisible());
        QCOMPARE(w.editor()->geometry(), grid->visualRect(grid->currentIndex()));
        w.repaintGrid();
        QCOMPARE(form.Label3->text(), QStringLiteral("1"));
    }

    void layoutRule() {
        Window w(false);
        w.form->resize(700, 500);
        w.form->FormResize();
        QCOMPARE(w.form->StringGrid1->size(), QSize(688, 330));
        QCOMPARE(w.form->PageControl1->size(), QSize(700, 358));
    }

    void loadWorkedExample() {
        Window w(false);
        w.load(kAnimals);
        TForm1& form = *w.form;
        QCOMPARE(form.RowCount(), 3);
        QCOMPARE(form.Edit2->text(), QStringLiteral("Animals"));
        QCOMPARE(form.ComboBox2->currentText(), QStringLiteral("German"));
        QCOMPARE(form.FieldLayoutNames()[1], std::string("00000407"));
        QCOMPARE(form.windowTitleText(), kTitleOf + kAnimals);
        QVERIFY(form.N4->isEnabled() && form.Merge1->isEnabled());
        QCOMPARE(form.OpenDialog1.fileName, kAnimals);
        // and saves back unchanged
        form.SaveDialog1.fileName = w.path("copy.lut");
        QVERIFY(form.N4Click());
        QCOMPARE(Window::read(w.path("copy.lut")), Window::read(kAnimals));
    }

    // A character no Windows code page holds is refused in the description, with a message.
    void descriptionRefusesWhatItCannotHold() {
        Window w;
        w.form->PageControl1->setCurrentIndex(1);
        w.form->Edit2->setFocus();
        w.form->Edit2->setText(QStringLiteral("Animals"));
        w.form->Edit2->insert(QStringLiteral(" \U0001F600"));
        QCOMPARE(w.form->Edit2->text(), QStringLiteral("Animals"));
        QVERIFY(w.form->statusBar()->currentMessage().contains(QStringLiteral("cannot hold")));
    }

    void resetKeepsFontsSizeAndLayouts() {
        Window w(false);
        w.load(kAnimals);
        TForm1& form = *w.form;
        form.RxSpinEdit1->setValue(14);
        const VocabularyHeader before = form.doc.header;
        form.SpeedItem3Click(); // New
        QCOMPARE(form.RowCount(), 2);
        QCOMPARE(form.windowTitleText(), kTitle);
        QVERIFY(!form.N4->isEnabled() && !form.Merge1->isEnabled());
        QCOMPARE(form.Edit2->text() + form.Edit3->text(), QString());
        QCOMPARE(form.doc.header.fonts, before.fonts);
        QCOMPARE(form.doc.header.layoutNames, before.layoutNames);
        QCOMPARE(form.RxSpinEdit1->value(), 14);
        // Save as proposes the loaded file's name
        form.N3Click();
        QCOMPARE(w.dialogs.saveDialogsShown.back().fileName, kAnimals);
    }

    void failedLoadKeepsTheDocument() {
        Window w(false);
        w.load(kAnimals);
        w.load(w.path("gone.lut")); // the load dialog comes again and is cancelled
        QCOMPARE(w.dialogs.messageTexts(), QStringList{QStringLiteral("File Not Found")});
        QCOMPARE(w.dialogs.messages.back().caption, QStringLiteral("Error"));
        QCOMPARE(w.dialogs.openDialogsShown.size(), std::size_t(3));
        QCOMPARE(w.form->RowCount(), 3);
        QCOMPARE(w.form->windowTitleText(), kTitleOf + kAnimals);
        QVERIFY(w.form->N4->isEnabled());
        QCOMPARE(w.form->SaveDialog1.fileName, kAnimals);
    }

    void saveTrimsOnlyWithMoreThanOneRow_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("remove");
        QTest::addColumn<QStringList>("written");
        const QStringList blanks{"cat", "", "dog", ""};
        QTest::newRow("blank removal on") << blanks << true << QStringList{"cat", "dog"};
        QTest::newRow("blank removal off") << blanks << false << QStringList{"cat", "", "dog"};
        QTest::newRow("one row kept as typed")
            << QStringList{"  cat "} << false << QStringList{"  cat "};
        QTest::newRow("two rows trimmed")
            << QStringList{"  cat ", "dog"} << false << QStringList{"cat", "dog"};
    }
    void saveTrimsOnlyWithMoreThanOneRow() {
        QFETCH(QStringList, rows);
        QFETCH(bool, remove);
        QFETCH(QStringList, written);
        Window w(false);
        w.load(kAnimals);
        w.setRows(rows);
        w.form->Removeblanklines1->setChecked(remove);
        w.form->SaveDialog1.fileName = w.path("out.lut");
        QVERIFY(w.form->N4Click());
        QCOMPARE(savedQuestions(w.path("out.lut")), written);
    }

    void saveAs() {
        Window w(false);
        w.setRows({"cat|Katze"});
        w.dialogs.fileAnswers.push_back({w.path("new")});
        QVERIFY(w.form->N3Click());
        QCOMPARE(w.form->windowTitleText(), w.path("new.lut"));
        QVERIFY(w.form->N4->isEnabled());
        QCOMPARE(savedQuestions(w.path("new.lut")), QStringList{"cat"});
        QCOMPARE(w.form->OpenDialog1.fileName, QString()); // the reopened file is unchanged
    }

    void failedWriteIsReportedAndClaimsNothing() {
        Window w(false);
        w.setRows({"cat|Katze"});
        const QString bad = w.path("missing-folder/x.lut");
        w.dialogs.fileAnswers.push_back({bad});
        QVERIFY(!w.form->N3Click());
        QCOMPARE(w.dialogs.messages.size(), std::size_t(1));
        QVERIFY(w.dialogs.messages.front().text.contains(bad));
        QCOMPARE(w.dialogs.messages.front().icon, MsgIcon::Error);
        QCOMPARE(w.form->windowTitleText(), kTitle);
        QVERIFY(!w.form->N4->isEnabled());
        QCOMPARE(w.form->SaveDialog1.fileName, QString());
        QCOMPARE(w.form->RowCount(), 2); // the document stays
    }

    // A Save that cannot write names the file and the reason and offers Save as.
    void failedSaveOffersSaveAs() {
        Window w(false);
        w.load(w.copy(kAnimals, "a.lut"));
        const QString bad = w.path("gone/a.lut");
        w.form->SaveDialog1.fileName = bad;
        w.dialogs.messageAnswers.push_back(MsgResult::Yes);
        w.dialogs.fileAnswers.push_back({w.path("elsewhere.lut")});
        QVERIFY(w.form->N4Click());
        QCOMPARE(w.dialogs.messages.size(), std::size_t(1));
        QVERIFY(w.dialogs.messages.front().text.contains(bad));
        QCOMPARE(w.dialogs.messages.front().buttons, MsgButtons::YesNo);
        QCOMPARE(w.dialogs.saveDialogsShown.back().fileName, bad);
        QCOMPARE(Window::read(w.path("elsewhere.lut")), Window::read(kAnimals));
        QCOMPARE(w.form->windowTitleText(), w.path("elsewhere.lut"));
        // declined: nothing is written and the document stays
        w.form->SaveDialog1.fileName = bad;
        w.dialogs.messageAnswers.push_back(MsgResult::No);
        QVERIFY(!w.form->N4Click());
        QCOMPARE(w.form->RowCount(), 3);
        // closing with Yes after a failed save keeps the window open
        w.form->show();
        w.dialogs.messageAnswers.push_back(MsgResult::Yes);
        w.dialogs.messageAnswers.push_back(MsgResult::No);
        QVERIFY(!w.form->close());
        QVERIFY(w.form->isVisible());
    }

    void oldFormatQuestion_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("header");
        QTest::newRow("yes") << int(MsgResult::Yes) << true << true;
        QTest::newRow("no") << int(MsgResult::No) << true << false;
        QTest::newRow("cancel") << int(MsgResult::Cancel) << false << false;
    }
    void oldFormatQuestion() {
        QFETCH(int, answer);
        QFETCH(bool, written);
        QFETCH(bool, header);
        Window w(false);
        const QString copy = w.copy(kOld, "old.lut");
        w.load(copy);
        QVERIFY(!w.form->CurrentFormat());
        w.form->cells().setCell(kQuestion, 1, "changed");
        w.dialogs.messageAnswers.push_back(static_cast<MsgResult>(answer));
        QCOMPARE(w.form->N4Click(), written);
        QCOMPARE(w.dialogs.messages.back().text,
                 QStringLiteral("Old vocabulary version format! Do you wish to save it in the "
                                "new format?"));
        QCOMPARE(w.dialogs.messages.back().caption, QStringLiteral("Old Version"));
        const QByteArray bytes = Window::read(copy);
        if (!written)
            QCOMPARE(bytes, Window::read(kOld));
        else
            QCOMPARE(bytes.startsWith("Vocabulary Format 1\r\n"), header);
        QCOMPARE(w.form->CurrentFormat(), header);
    }

    void mergeWorkedExample() {
        Window w(false);
        Vocabulary own;
        own.header.title = "Own";
        own.entries.setRowCount(4);
        for (int r = 1; r < 4; ++r)
            own.entries.setCell(kQuestion, r, "own" + std::to_string(r));
        const QString three =
            w.write("three.lut", QByteArray::fromStdString(serializeVocabulary(own, true)));
        w.load(three);
        w.dialogs.fileAnswers.push_back({kAnimals});
        w.form->Merge1Click();
        QCOMPARE(w.form->RowCount(), 6);
        QCOMPARE(w.column(kQuestion), (QStringList{"own1", "own2", "own3", "cat", "dog"}));
        QCOMPARE(w.form->Edit2->text(), QStringLiteral("Own"));
        QCOMPARE(w.form->windowTitleText(), kTitleOf + three);
        QCOMPARE(w.form->OpenDialog1.fileName, kAnimals);
        // a file that cannot be opened: the message, then the Load dialog
        w.dialogs.fileAnswers.push_back({w.path("none.lut")});
        w.form->Merge1Click();
        QCOMPARE(w.dialogs.messageTexts().last(), QStringLiteral("File Not Found"));
        QCOMPARE(w.form->RowCount(), 6);
    }

    void closePrompt_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("no") << int(MsgResult::No) << true;
        QTest::newRow("cancel") << int(MsgResult::Cancel) << false;
    }
    void closePrompt() {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        Window w;
        w.dialogs.messageAnswers.push_back(static_cast<MsgResult>(answer));
        QCOMPARE(w.form->close(), closes);
        const ShownMessage& m = w.dialogs.messages.front();
        QCOMPARE(m.text + '/' + m.caption, QStringLiteral("Save Before Closing?/Confimation"));
        QCOMPARE(m.buttons, MsgButtons::YesNoCancel);
        QCOMPARE(m.icon, MsgIcon::Question);
        QCOMPARE(w.dialogs.saveDialogsShown.size(), std::size_t(0));
        QCOMPARE(w.form->isVisible(), !closes);
    }

    void closeYesAfterLoadWritesWithoutCleanUp() {
        Window w;
        const QString copy = w.copy(kAnimals, "a.lut");
        w.load(copy);
        w.setRows({"cat", "", " dog "});
        w.form->Removeblanklines1->setChecked(true);
        w.dialogs.messageAnswers.push_back(MsgResult::Yes);
        QVERIFY(w.form->close());
        QCOMPARE(savedQuestions(copy), (QStringList{"cat", "", " dog "}));
    }

    void closeYesOnNewVocabulary() {
        Window w;
        // Save as is cancelled: nothing was saved, so the window stays open
        w.dialogs.messageAnswers.push_back(MsgResult::Yes);
        QVERIFY(!w.form->close());
        QCOMPARE(w.dialogs.saveDialogsShown.size(), std::size_t(1));
        QVERIFY(w.form->isVisible());
        // Save as chooses a file: written, and the window closes without a second question
        w.dialogs.messageAnswers.push_back(MsgResult::Yes);
        w.dialogs.fileAnswers.push_back({w.path("kept.lut")});
        QVERIFY(w.form->close());
        QVERIFY(QFile::exists(w.path("kept.lut")));
        QCOMPARE(w.dialogs.messages.size(), std::size_t(2));
    }
};

QTEST_MAIN(TestFormDocument)
#include "test_form_document.moc"
