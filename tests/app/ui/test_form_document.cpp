// The main window's document state and File commands: first start, reset, layout rule,
// New, Load, Save, Save as, Merge and the close prompt, with scripted dialogs.
#include "app/tform1.h"
#include "editing/ui/entry_grid.h"
#include "platform/keyboard_layouts.h"
#include "support/scripted_dialogs.h"
#include "vocab/lut_format.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QProgressBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace lexanta;
using lexanta::test::ScriptedDialogs;

namespace {

const QString kAnimals = QStringLiteral(LEXANTA_TEST_DATA "/animals.lut");
const QString kOld = QStringLiteral(LEXANTA_TEST_DATA "/old_format.lut");

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList questions(TForm1& form) {
    QStringList q;
    for (int r = 1; r < form.RowCount(); ++r)
        q << QString::fromStdString(form.cells().cell(kQuestion, r));
    return q;
}

struct Fixture {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    MemoryKeyboardLayouts layouts;
    std::unique_ptr<TForm1> form;

    Fixture() {
        FormServices s;
        s.dialogs = &dialogs;
        s.keyboardLayouts = &layouts;
        s.restoreSettings = false;
        s.programFolder = dir.path();
        s.configFolder = dir.path();
        form = std::make_unique<TForm1>(s);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // Loads a file through File > Load.
    void load(const QString& file) {
        dialogs.fileAnswers.push_back({file});
        form->N2Click();
    }
    void setRows(const QStringList& rows) {
        EntryTable& t = form->cells();
        t.setRowCount(static_cast<int>(rows.size()) + 1);
        for (int r = 0; r < rows.size(); ++r) {
            t.clearRow(r + 1);
            const QStringList f = rows[r].split(QLatin1Char('|'));
            for (int c = 0; c < f.size(); ++c)
                t.setCell(c + 1, r + 1, f[c].toStdString());
        }
    }
};

} // namespace

class TestFormDocument : public QObject {
    Q_OBJECT

private slots:
    void firstStart() {
        Fixture f;
        TForm1& form = *f.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.size(), QSize(646, 510));
        QVERIFY(!form.isMaximized());
        QVERIFY(form.IsEnglishInterface());
        QCOMPARE(form.RowCount(), 2);
        QCOMPARE(form.windowTitleText(), QStringLiteral("Lexanta Editor"));
        QCOMPARE(form.Edit4->text(),
                 QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
        QVERIFY(!form.Edit3->text().isEmpty());
        QVERIFY(!form.N4->isEnabled());
        QVERIFY(!form.SpeedItem9->isEnabled());
        QVERIFY(!form.Merge1->isEnabled());
        QVERIFY(!form.Reload1->isEnabled());
        QVERIFY(form.SpeedItem2->isChecked());
        QVERIFY(!form.EditMode);
        QCOMPARE(form.CounterLine(), std::string("0\n"));
        QVERIFY(form.CurrentFormat());
        QCOMPARE(form.N2->text(), QStringLiteral("&Load.."));
        QCOMPARE(form.findChild<QLabel*>(QStringLiteral("Label3"))->text(), QStringLiteral("1"));
        // every design name is reachable as an objectName
        for (const char* name : {"StringGrid1", "ComboEdit1", "ComboEdit2", "ComboEdit3",
                                 "RxSpinEdit1", "PageControl1", "ComboBox1", "Edit2",
                                 "ProgressBar1", "SpeedItem11Swap", "CheckBox1", "Button4"})
            QVERIFY2(form.findChild<QWidget*>(QString::fromLatin1(name)), name);
        QVERIFY(form.ProgressBar1->isHidden());
        form.SaveDialog1.tag = 1; // close without the prompt
        form.close();
    }

    void layoutRule() {
        Fixture f;
        f.form->resize(700, 500);
        f.form->FormResize();
        QCOMPARE(f.form->StringGrid1->size(), QSize(688, 330));
        QCOMPARE(f.form->PageControl1->size(), QSize(700, 358));
    }

    void loadWorkedExample() {
        Fixture f;
        f.load(kAnimals);
        TForm1& form = *f.form;
        QCOMPARE(form.RowCount(), 3);
        QCOMPARE(form.Edit2->text(), QStringLiteral("Animals"));
        QCOMPARE(form.ComboBox2->currentText(), QStringLiteral("German"));
        QCOMPARE(form.FieldLayoutNames()[1], std::string("00000407"));
        QCOMPARE(form.windowTitleText(), QStringLiteral("Lexanta Editor: ") + kAnimals);
        QVERIFY(form.N4->isEnabled());
        QVERIFY(form.Merge1->isEnabled());
        QCOMPARE(form.SaveDialog1.fileName, kAnimals);
        QCOMPARE(form.OpenDialog1.fileName, kAnimals);
        // and saves back unchanged
        form.SaveDialog1.fileName = f.path("copy.lut");
        QVERIFY(form.N4Click());
        QCOMPARE(fileBytes(f.path("copy.lut")), fileBytes(kAnimals));
    }

    void resetKeepsFontsSizeAndLayouts() {
        Fixture f;
        f.load(kAnimals);
        TForm1& form = *f.form;
        form.RxSpinEdit1->setValue(14);
        const VocabularyHeader before = form.doc.header;
        form.SpeedItem3Click(); // New
        QCOMPARE(form.RowCount(), 2);
        QCOMPARE(form.windowTitleText(), QStringLiteral("Lexanta Editor"));
        QVERIFY(!form.N4->isEnabled());
        QVERIFY(!form.Merge1->isEnabled());
        QCOMPARE(form.Edit2->text(), QString());
        QCOMPARE(form.Edit3->text(), QString());
        QCOMPARE(form.doc.header.fonts, before.fonts);
        QCOMPARE(form.doc.header.layoutNames, before.layoutNames);
        QCOMPARE(form.RxSpinEdit1->value(), 14);
        // Save as proposes the loaded file's name
        form.N3Click();
        QCOMPARE(f.dialogs.saveDialogsShown.back().fileName, kAnimals);
    }

    void failedLoadKeepsTheDocument() {
        Fixture f;
        f.load(kAnimals);
        TForm1& form = *f.form;
        f.dialogs.fileAnswers.push_back({f.path("gone.lut")});
        form.N2Click(); // the load dialog comes again and is cancelled
        QCOMPARE(f.dialogs.messageTexts(), QStringList{QStringLiteral("File Not Found")});
        QCOMPARE(f.dialogs.messages.back().caption, QStringLiteral("Error"));
        QCOMPARE(f.dialogs.openDialogsShown.size(), std::size_t(3));
        QCOMPARE(form.RowCount(), 3);
        QCOMPARE(form.windowTitleText(), QStringLiteral("Lexanta Editor: ") + kAnimals);
        QVERIFY(form.N4->isEnabled());
        QCOMPARE(form.SaveDialog1.fileName, kAnimals);
    }

    void saveWithAndWithoutBlankRemoval_data() {
        QTest::addColumn<bool>("remove");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("option on") << true << QStringList{"cat", "dog"};
        QTest::newRow("option off") << false << QStringList{"cat", "", "dog"};
    }
    void saveWithAndWithoutBlankRemoval() {
        QFETCH(bool, remove);
        QFETCH(QStringList, written);
        Fixture f;
        f.load(kAnimals);
        f.setRows({"cat", "", "dog", ""});
        f.form->Removeblanklines1->setChecked(remove);
        f.form->SaveDialog1.fileName = f.path("out.lut");
        QVERIFY(f.form->N4Click());
        Vocabulary back;
        readVocabulary(fileBytes(f.path("out.lut")).toStdString(), back);
        QStringList q;
        for (int r = 1; r < back.entries.rowCount(); ++r)
            q << QString::fromStdString(back.entries.cell(kQuestion, r));
        QCOMPARE(q, written);
    }

    void singleRowIsNotTrimmed() {
        Fixture f;
        f.load(kAnimals);
        f.setRows({"  cat "});
        f.form->SaveDialog1.fileName = f.path("one.lut");
        QVERIFY(f.form->N4Click());
        Vocabulary back;
        readVocabulary(fileBytes(f.path("one.lut")).toStdString(), back);
        QCOMPARE(back.entries.cell(kQuestion, 1), std::string("  cat "));
        f.setRows({"  cat ", "dog"});
        QVERIFY(f.form->N4Click());
        readVocabulary(fileBytes(f.path("one.lut")).toStdString(), back);
        QCOMPARE(back.entries.cell(kQuestion, 1), std::string("cat"));
    }

    void saveAs() {
        Fixture f;
        f.setRows({"cat|Katze"});
        f.dialogs.fileAnswers.push_back({f.path("new")});
        QVERIFY(f.form->N3Click());
        QCOMPARE(f.form->windowTitleText(), f.path("new.lut"));
        QVERIFY(f.form->N4->isEnabled());
        QVERIFY(QFile::exists(f.path("new.lut")));
        QCOMPARE(f.form->OpenDialog1.fileName, QString()); // the reopened file is unchanged
    }

    void failedWriteIsReportedAndClaimsNothing() {
        Fixture f;
        f.setRows({"cat|Katze"});
        const QString bad = f.path("missing-folder/x.lut");
        f.dialogs.fileAnswers.push_back({bad});
        QVERIFY(!f.form->N3Click());
        QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
        QVERIFY(f.dialogs.messages.front().text.contains(bad));
        QCOMPARE(f.dialogs.messages.front().icon, MsgIcon::Error);
        QCOMPARE(f.form->windowTitleText(), QStringLiteral("Lexanta Editor"));
        QVERIFY(!f.form->N4->isEnabled());
        QCOMPARE(f.form->SaveDialog1.fileName, QString());
        QCOMPARE(f.form->RowCount(), 2); // the document stays
    }

    // A Save that cannot write names the file and the reason and offers Save as.
    void failedSaveOffersSaveAs() {
        Fixture f;
        const QString copy = f.path("a.lut");
        QFile::copy(kAnimals, copy);
        f.load(copy);
        const QString bad = f.path("gone/a.lut");
        f.form->SaveDialog1.fileName = bad;
        f.dialogs.messageAnswers.push_back(MsgResult::Yes);
        f.dialogs.fileAnswers.push_back({f.path("elsewhere.lut")});
        QVERIFY(f.form->N4Click());
        QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
        QVERIFY(f.dialogs.messages.front().text.contains(bad));
        QCOMPARE(f.dialogs.messages.front().buttons, MsgButtons::YesNo);
        QCOMPARE(f.dialogs.saveDialogsShown.back().fileName, bad);
        QCOMPARE(fileBytes(f.path("elsewhere.lut")), fileBytes(kAnimals));
        QCOMPARE(f.form->windowTitleText(), f.path("elsewhere.lut"));
        // declined: nothing is written and the document stays
        f.form->SaveDialog1.fileName = bad;
        f.dialogs.messageAnswers.push_back(MsgResult::No);
        QVERIFY(!f.form->N4Click());
        QCOMPARE(f.form->RowCount(), 3);
        // closing with Yes after a failed save keeps the window open
        f.form->show();
        f.dialogs.messageAnswers.push_back(MsgResult::Yes);
        f.dialogs.messageAnswers.push_back(MsgResult::No);
        QVERIFY(!f.form->close());
        QVERIFY(f.form->isVisible());
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
        Fixture f;
        const QString copy = f.path("old.lut");
        QFile::copy(kOld, copy);
        f.load(copy);
        QVERIFY(!f.form->CurrentFormat());
        f.form->cells().setCell(kQuestion, 1, "changed");
        f.dialogs.messageAnswers.push_back(static_cast<MsgResult>(answer));
        QCOMPARE(f.form->N4Click(), written);
        QCOMPARE(f.dialogs.messages.back().text,
                 QStringLiteral("Old vocabulary version format! Do you wish to save it in the "
                                "new format?"));
        QCOMPARE(f.dialogs.messages.back().caption, QStringLiteral("Old Version"));
        const QByteArray bytes = fileBytes(copy);
        if (!written)
            QCOMPARE(bytes, fileBytes(kOld));
        else
            QCOMPARE(bytes.startsWith("Vocabulary Format 1\r\n"), header);
        QCOMPARE(f.form->CurrentFormat(), header);
    }

    void mergeWorkedExample() {
        Fixture f;
        const QString three = f.path("three.lut");
        {
            Vocabulary v;
            v.header.title = "Own";
            v.entries.setRowCount(4);
            for (int r = 1; r < 4; ++r)
                v.entries.setCell(kQuestion, r, "own" + std::to_string(r));
            writeFile(three, QByteArray::fromStdString(serializeVocabulary(v, true)));
        }
        f.load(three);
        QCOMPARE(f.form->RowCount(), 4);
        f.dialogs.fileAnswers.push_back({kAnimals});
        f.form->Merge1Click();
        QCOMPARE(f.form->RowCount(), 6);
        QCOMPARE(questions(*f.form), (QStringList{"own1", "own2", "own3", "cat", "dog"}));
        QCOMPARE(f.form->Edit2->text(), QStringLiteral("Own"));
        QCOMPARE(f.form->windowTitleText(), QStringLiteral("Lexanta Editor: ") + three);
        QCOMPARE(f.form->OpenDialog1.fileName, kAnimals);
        // a file that cannot be opened: the message, then the Load dialog
        f.dialogs.fileAnswers.push_back({f.path("none.lut")});
        f.form->Merge1Click();
        QCOMPARE(f.dialogs.messageTexts().last(), QStringLiteral("File Not Found"));
        QCOMPARE(f.form->RowCount(), 6);
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
        Fixture f;
        f.form->show();
        f.dialogs.messageAnswers.push_back(static_cast<MsgResult>(answer));
        QCOMPARE(f.form->close(), closes);
        QCOMPARE(f.dialogs.messages.front().text, QStringLiteral("Save Before Closing?"));
        QCOMPARE(f.dialogs.messages.front().caption, QStringLiteral("Confimation"));
        QCOMPARE(f.dialogs.messages.front().buttons, MsgButtons::YesNoCancel);
        QCOMPARE(f.dialogs.messages.front().icon, MsgIcon::Question);
        QCOMPARE(f.dialogs.saveDialogsShown.size(), std::size_t(0));
        QCOMPARE(f.form->isVisible(), !closes);
    }

    void closeYesAfterLoadWritesWithoutCleanUp() {
        Fixture f;
        const QString copy = f.path("a.lut");
        QFile::copy(kAnimals, copy);
        QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        f.load(copy);
        f.setRows({"cat", "", " dog "});
        f.form->Removeblanklines1->setChecked(true);
        f.form->show();
        f.dialogs.messageAnswers.push_back(MsgResult::Yes);
        QVERIFY(f.form->close());
        Vocabulary back;
        readVocabulary(fileBytes(copy).toStdString(), back);
        QCOMPARE(back.entries.rowCount(), 4);
        QCOMPARE(back.entries.cell(kQuestion, 3), std::string(" dog "));
    }

    void closeYesOnNewVocabulary() {
        Fixture f;
        f.form->show();
        // Save as is cancelled: nothing was saved, so the window stays open
        f.dialogs.messageAnswers.push_back(MsgResult::Yes);
        QVERIFY(!f.form->close());
        QCOMPARE(f.dialogs.saveDialogsShown.size(), std::size_t(1));
        QVERIFY(f.form->isVisible());
        // Save as chooses a file: written, and the window closes without a second question
        f.dialogs.messageAnswers.push_back(MsgResult::Yes);
        f.dialogs.fileAnswers.push_back({f.path("kept.lut")});
        QVERIFY(f.form->close());
        QVERIFY(QFile::exists(f.path("kept.lut")));
        QCOMPARE(f.dialogs.messages.size(), std::size_t(2));
    }

    void russianClosePrompt() {
        Fixture f;
        f.form->N1->setTitle(QStringLiteral("&Файл"));
        QVERIFY(!f.form->IsEnglishInterface());
        f.dialogs.messageAnswers.push_back(MsgResult::Cancel);
        f.form->show();
        QVERIFY(!f.form->close());
        QCOMPARE(f.dialogs.messages.front().text, QStringLiteral("Сохранить перед закрытием?"));
        QCOMPARE(f.dialogs.messages.front().caption, QStringLiteral("Confimation"));
    }
};

QTEST_MAIN(TestFormDocument)
#include "test_form_document.moc"
