// The main window's document state and File commands: first start, reset, layout rule,
// New, Load, Save, Save as, Merge and the close prompt, with scripted dialogs.
#include "core/vocab/lut_format.h"
#include "gui/widgets/progress_feedback.h"
#include "platform/codepage.h"
#include "support/window_fixture.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QLocale>
#include <QProgressBar>
#include <QScopeGuard>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>

#include <QScrollBar>

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
    for (int i = 0; i < v.entries.entryCount(); ++i)
        q << QString::fromUtf8(v.entries.text(i, kQuestion));
    return q;
}

} // namespace

class TestFormDocument : public QObject {
    Q_OBJECT

private slots:
    void firstStart() {
        Window w;
        MainWindow& form = *w.form;
        // every control whole, and the window well inside a 1280 x 800 screen
        QVERIFY(form.frameGeometry().width() <= 1280 && form.frameGeometry().height() <= 760);
        for (const char* name : {"ComboEdit1", "ComboEdit2", "ComboEdit3", "StringGrid1",
                                 "RxSpinEdit1", "Label3", "PageControl1"}) {
            const QWidget* c = w.control(name);
            QVERIFY2(form.rect().contains(QRect(c->mapTo(&form, QPoint(0, 0)), c->size())), name);
        }
        QCOMPARE(form.grid()->horizontalScrollBar()->maximum(), 0); // the Comments column whole
        // the keyboard layout steps read to their end (they scroll when the font is large)
        form.pages()->setCurrentIndex(1);
        QApplication::processEvents();
        const QLabel* steps = w.label("Label8");
        QVERIFY(steps->height() >= steps->sizeHint().height());
        form.pages()->setCurrentIndex(0);
        QVERIFY(!form.isMaximized());
        QVERIFY(form.language().isEnglishInterface());
        QCOMPARE(w.rowCount(), 2);
        QCOMPARE(form.windowTitleText(), kTitle);
        QCOMPARE(w.edit("Edit4")->text(),
                 QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
        QVERIFY(!w.action("N4")->isEnabled() && !w.button("SpeedItem9")->isEnabled());
        QVERIFY(!w.action("Merge1")->isEnabled() && !w.menu("Reload1")->isEnabled());
        QVERIFY(w.button("SpeedItem2")->isChecked() && !form.editor().isEditMode());
        QVERIFY(!w.edit("Edit3")->text().isEmpty()); // the author
        QCOMPARE(w.doc().vocabulary().counterLine, std::string("0\n"));
        QVERIFY(w.doc().vocabulary().currentFormat);
        QVERIFY(form.progressBar()->isHidden());
        // the grid, with the editor already on its current cell
        EntryGrid* grid = form.grid();
        QCOMPARE((QList<int>{grid->verticalHeader()->width(), grid->columnWidth(0),
                             grid->columnWidth(1), grid->columnWidth(2), grid->rowHeight(1)}),
                 (QList<int>{21, 265, 252, 230, 20}));
        QCOMPARE(QPoint(grid->column(), grid->row()), QPoint(1, 1));
        QVERIFY(w.editor()->isVisible());
        QCOMPARE(w.editor()->geometry(), grid->visualRect(grid->currentIndex()));
        w.repaintGrid();
        QCOMPARE(w.label("Label3")->text(), QStringLiteral("1"));
    }

    void layoutRule() {
        Window w(false);
        w.form->resize(700, 500);
        w.form->applyLayoutRule();
        QCOMPARE(w.form->grid()->size(), QSize(688, 330));
        QCOMPARE(w.form->pages()->size(), QSize(700, 358));
    }

    void loadWorkedExample() {
        Window w(false);
        w.load(kAnimals);
        MainWindow& form = *w.form;
        QCOMPARE(w.rowCount(), 3);
        QCOMPARE(w.edit("Edit2")->text(), QStringLiteral("Animals"));
        QCOMPARE(w.control<QComboBox>("ComboBox2")->currentText(), QStringLiteral("German"));
        QCOMPARE(w.doc().header().layoutNames[1], std::string("00000407"));
        QCOMPARE(form.windowTitleText(), kTitleOf + kAnimals);
        QVERIFY(w.action("N4")->isEnabled() && w.action("Merge1")->isEnabled());
        QCOMPARE(form.files().openDialog().fileName, kAnimals);
        // and saves back unchanged
        const QString copy = w.copy(kAnimals, "copy.lut");
        w.load(copy);
        QFile::remove(copy);
        QVERIFY(form.files().save());
        QCOMPARE(Window::read(copy), Window::read(kAnimals));
    }

    // A character no Windows code page holds is refused in the description, with a message.
    // The description's bytes are read in the locale's code page unless Preferences names
    // another, which is kept in the program's own options file.
    void systemCodePageChoice_data() {
        QTest::addColumn<QByteArray>("stored"); // options.ini; empty: no file
        QTest::addColumn<int>("chosen");        // code page chosen in Preferences; 0: none
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("status");
        QTest::newRow("the locale's")
            << QByteArray() << 0 << "\u00c6\u00e8\u00e2\u00ee\u00f2\u00ed\u00fb\u00e5" << QString();
        QTest::newRow("stored") << QByteArray("[Options]\nSystemCodePage=1251\n") << 0
                                << "\u0416\u0438\u0432\u043e\u0442\u043d\u044b\u0435" << QString();
        QTest::newRow("chosen") << QByteArray() << 1251
                                << "\u0416\u0438\u0432\u043e\u0442\u043d\u044b\u0435" << QString();
        QTest::newRow("not a page offered")
            << QByteArray("; mine\n[Options]\nSystemCodePage=1251x\n") << 0
            << "\u00c6\u00e8\u00e2\u00ee\u00f2\u00ed\u00fb\u00e5"
            << "options.ini, line 3: \"1251x\"";
    }
    void systemCodePageChoice() {
        QFETCH(QByteArray, stored);
        QFETCH(int, chosen);
        QFETCH(QString, title);
        QFETCH(QString, status);
        const QByteArray locale = qgetenv("LC_ALL");
        qputenv("LC_ALL", "en_US.UTF-8");
        const auto restore = qScopeGuard([&] {
            locale.isNull() ? qunsetenv("LC_ALL") : qputenv("LC_ALL", locale);
            setSystemAnsiCodePageOverride(0);
        });
        Window w(false);
        const QString options = w.path(QStringLiteral("lexanta-editor/options.ini"));
        if (!stored.isEmpty()) {
            QDir(w.dir.path()).mkpath(QStringLiteral("lexanta-editor"));
            w.write(QStringLiteral("lexanta-editor/options.ini"), stored);
            w.restart();
        }
        QVERIFY(w.form->statusBar()->currentMessage().contains(status));
        auto* box = w.control<QComboBox>("CodePageBox");
        if (chosen)
            box->setCurrentIndex(box->findData(chosen));
        w.doc().setDescription(DescriptionField::Title, "\xc6\xe8\xe2\xee\xf2\xed\xfb\xe5");
        QCOMPARE(w.edit("Edit2")->text(), title);
        QCOMPARE(w.doc().description(DescriptionField::Title), "\xc6\xe8\xe2\xee\xf2\xed\xfb\xe5");
        if (!stored.isEmpty())
            QCOMPARE(Window::read(options), stored); // a bad value is not overwritten
        w.restart();
        // the choice holds at the next start
        QCOMPARE(w.control<QComboBox>("CodePageBox")->currentData().toInt(),
                 systemAnsiCodePage() == 1251 ? 1251 : 0);
        QCOMPARE(systemAnsiCodePage(), title.startsWith(QChar(0x416)) ? 1251 : 1252);
    }

    void descriptionRefusesWhatItCannotHold() {
        Window w;
        w.form->pages()->setCurrentIndex(1);
        w.edit("Edit2")->setFocus();
        w.edit("Edit2")->setText(QStringLiteral("Animals"));
        w.edit("Edit2")->insert(QStringLiteral(" \U0001F600"));
        QCOMPARE(w.edit("Edit2")->text(), QStringLiteral("Animals"));
        QVERIFY(w.form->statusBar()->currentMessage().contains(QStringLiteral("cannot hold")));
        // a character that shows nothing is named
        w.edit("Edit2")->insert(QStringLiteral("\uFEFF"));
        QCOMPARE(w.edit("Edit2")->text(), QStringLiteral("Animals"));
        QVERIFY(w.form->statusBar()->currentMessage().contains(QStringLiteral("U+FEFF")));
    }

    void resetKeepsFontsSizeAndLayouts() {
        Window w(false);
        w.load(kAnimals);
        MainWindow& form = *w.form;
        w.control<QSpinBox>("RxSpinEdit1")->setValue(14);
        const VocabularyHeader before = w.doc().header();
        form.files().newVocabulary(); // New
        QCOMPARE(w.rowCount(), 2);
        QCOMPARE(form.windowTitleText(), kTitle);
        QVERIFY(!w.action("N4")->isEnabled() && !w.action("Merge1")->isEnabled());
        QCOMPARE(w.edit("Edit2")->text() + w.edit("Edit3")->text(), QString());
        QCOMPARE(w.doc().header().fonts, before.fonts);
        QCOMPARE(w.doc().header().layoutNames, before.layoutNames);
        QCOMPARE(w.control<QSpinBox>("RxSpinEdit1")->value(), 14);
        // Save as proposes the loaded file's name
        form.files().saveAs();
        QCOMPARE(w.dialogs.saveDialogsShown.back().fileName, kAnimals);
    }

    void failedLoadKeepsTheDocument() {
        Window w(false);
        w.load(kAnimals);
        w.load(w.path("gone.lut")); // the load dialog comes again and is cancelled
        QCOMPARE(w.dialogs.messageTexts(), QStringList{"File Not Found\n" + w.path("gone.lut")});
        QCOMPARE(w.dialogs.messages.back().caption, QStringLiteral("Error"));
        QCOMPARE(w.dialogs.openDialogsShown.size(), std::size_t(3));
        QCOMPARE(w.rowCount(), 3);
        QCOMPARE(w.form->windowTitleText(), kTitleOf + kAnimals);
        QVERIFY(w.action("N4")->isEnabled());
        QCOMPARE(w.doc().fileName(), kAnimals);
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
        w.load(w.copy(kAnimals, "out.lut"));
        w.setRows(rows);
        w.action("Removeblanklines1")->setChecked(remove);
        QVERIFY(w.form->files().save());
        QCOMPARE(savedQuestions(w.path("out.lut")), written);
    }

    void saveAs() {
        Window w(false);
        w.setRows({"cat|Katze"});
        w.dialogs.fileAnswers.push_back({w.path("new")});
        QVERIFY(w.form->files().saveAs());
        QCOMPARE(w.form->windowTitleText(), w.path("new.lut"));
        QVERIFY(w.action("N4")->isEnabled());
        QCOMPARE(savedQuestions(w.path("new.lut")), QStringList{"cat"});
        QCOMPARE(w.form->files().openDialog().fileName,
                 QString()); // the reopened file is unchanged
    }

    // Save stays off without a file, yet Ctrl+S asks for a name; then it saves there.
    void ctrlSWithoutFileAsksForName() {
        Window w;
        w.setRows({"cat|Katze"});
        w.dialogs.fileAnswers.push_back({w.path("keyed")});
        Window::key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(w.dialogs.saveDialogsShown.size(), std::size_t(1));
        QCOMPARE(savedQuestions(w.path("keyed.lut")), QStringList{"cat"});
        w.setRows({"cat|Katze", "dog|Hund"});
        Window::key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(w.dialogs.saveDialogsShown.size(), std::size_t(1));
        QCOMPARE(savedQuestions(w.path("keyed.lut")), (QStringList{"cat", "dog"}));
    }

    // A text longer than the drill program reads is named before Save writes anything.
    void longTextIsNamedBeforeSaving_data() {
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("save anyway") << MsgResult::Yes << true;
        QTest::newRow("go to it") << MsgResult::No << false;
        QTest::newRow("cancel") << MsgResult::Cancel << false;
    }
    void longTextIsNamedBeforeSaving() {
        QFETCH(MsgResult, answer);
        QFETCH(bool, written);
        Window w(false);
        const QString copy =
            w.copy(QStringLiteral(LEXANTA_TEST_DATA "/lut/over_long_line/input.lut"), "long.lut");
        w.load(copy);
        w.clickCell(1, 2);
        QVERIFY(QFile::remove(copy));
        w.dialogs.messageAnswers.push_back(answer);
        QCOMPARE(w.form->files().save(), written);
        QVERIFY(w.dialogs.messageTexts().last().startsWith("1 text is longer than the drill"));
        QCOMPARE(QFile::exists(copy), written);
        if (answer == MsgResult::No)
            QCOMPARE(w.form->grid()->row(), 1);
    }

    // A file with bytes no vocabulary holds is opened only when the user says so.
    void notAVocabularyIsAskedAbout_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("asked");
        QTest::newRow("NUL bytes") << "not_vocabulary/nul_bytes.bin" << true;
        QTest::newRow("long lines") << "not_vocabulary/long_lines.bin" << true;
        QTest::newRow("old format") << "old_format.lut" << false;
        QTest::newRow("long line under the format line") << "lut/over_long_line/input.lut" << false;
    }
    void notAVocabularyIsAskedAbout() {
        QFETCH(QString, file);
        QFETCH(bool, asked);
        Window w(false);
        w.load(kAnimals);
        const QString path = QStringLiteral(LEXANTA_TEST_DATA "/") + file;
        w.dialogs.messageAnswers.push_back(MsgResult::No);
        w.load(path);
        QCOMPARE(w.dialogs.messages.size(), std::size_t(asked ? 1 : 0));
        QCOMPARE(w.doc().fileName(), asked ? kAnimals : path);
        if (asked) {
            QVERIFY(w.dialogs.messageTexts().first().startsWith(
                path + " does not look like a vocabulary."));
            w.dialogs.messageAnswers.push_back(MsgResult::Yes);
            w.load(path);
            QCOMPARE(w.doc().fileName(), path);
        }
    }

    void failedWriteIsReportedAndClaimsNothing() {
        Window w(false);
        w.setRows({"cat|Katze"});
        const QString bad = w.path("missing-folder/x.lut");
        w.dialogs.fileAnswers.push_back({bad});
        QVERIFY(!w.form->files().saveAs());
        QCOMPARE(w.dialogs.messages.size(), std::size_t(1));
        QVERIFY(w.dialogs.messages.front().text.contains(bad));
        QCOMPARE(w.dialogs.messages.front().icon, MsgIcon::Error);
        QCOMPARE(w.form->windowTitleText(), kTitle);
        QVERIFY(!w.action("N4")->isEnabled());
        QCOMPARE(w.doc().fileName(), QString());
        QCOMPARE(w.rowCount(), 2); // the document stays
    }

    // A Save that cannot write names the file and the reason and offers Save as.
    void failedSaveOffersSaveAs() {
        Window w(false);
        QDir(w.dir.path()).mkdir(QStringLiteral("gone"));
        const QString bad = w.copy(kAnimals, "gone/a.lut");
        w.load(bad);
        QDir(w.path("gone")).removeRecursively();
        w.dialogs.messageAnswers.push_back(MsgResult::Yes);
        w.dialogs.fileAnswers.push_back({w.path("elsewhere.lut")});
        QVERIFY(w.form->files().save());
        QCOMPARE(w.dialogs.messages.size(), std::size_t(1));
        QVERIFY(w.dialogs.messages.front().text.contains(bad));
        QCOMPARE(w.dialogs.messages.front().buttons, MsgButtons::YesNo);
        QCOMPARE(w.dialogs.saveDialogsShown.back().fileName, bad);
        QCOMPARE(Window::read(w.path("elsewhere.lut")), Window::read(kAnimals));
        QCOMPARE(w.form->windowTitleText(), w.path("elsewhere.lut"));
        // declined: nothing is written and the document stays
        w.load(bad);
        QCOMPARE(w.dialogs.messageTexts().last(), "File Not Found\n" + bad);
        QFile::remove(w.path("elsewhere.lut"));
        QVERIFY(QDir(w.dir.path()).mkdir(QStringLiteral("elsewhere.lut"))); // cannot be written
        w.dialogs.messageAnswers.push_back(MsgResult::No);
        QVERIFY(!w.form->files().save());
        QCOMPARE(w.rowCount(), 3);
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
        QVERIFY(!w.doc().vocabulary().currentFormat);
        w.doc().setText(0, kQuestion, "changed");
        w.dialogs.messageAnswers.push_back(static_cast<MsgResult>(answer));
        QCOMPARE(w.form->files().save(), written);
        QCOMPARE(w.dialogs.messages.back().text,
                 QStringLiteral("Old vocabulary version format! Do you wish to save it in the "
                                "new format?"));
        QCOMPARE(w.dialogs.messages.back().caption, QStringLiteral("Old Version"));
        const QByteArray bytes = Window::read(copy);
        if (!written)
            QCOMPARE(bytes, Window::read(kOld));
        else
            QCOMPARE(bytes.startsWith("Vocabulary Format 1\r\n"), header);
        QCOMPARE(w.doc().vocabulary().currentFormat, header);
    }

    void mergeWorkedExample() {
        Window w(false);
        Vocabulary own;
        own.header.title = "Own";
        own.entries.setEntryCount(3);
        for (int i = 0; i < 3; ++i)
            own.entries.setText(i, kQuestion, "own" + std::to_string(i + 1));
        const QString three =
            w.write("three.lut", QByteArray::fromStdString(serializeVocabulary(own, true)));
        w.load(three);
        w.dialogs.fileAnswers.push_back({kAnimals});
        w.form->files().merge();
        QCOMPARE(w.rowCount(), 6);
        QCOMPARE(w.column(kQuestion), (QStringList{"own1", "own2", "own3", "cat", "dog"}));
        QCOMPARE(w.edit("Edit2")->text(), QStringLiteral("Own"));
        QCOMPARE(w.form->windowTitleText(), kTitleOf + three);
        QCOMPARE(w.form->files().openDialog().fileName, kAnimals);
        // a file that cannot be opened: the message, then the Load dialog
        w.dialogs.fileAnswers.push_back({w.path("none.lut")});
        w.form->files().merge();
        QCOMPARE(w.dialogs.messageTexts().last(), "File Not Found\n" + w.path("none.lut"));
        QCOMPARE(w.rowCount(), 6);
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
        w.action("Removeblanklines1")->setChecked(true);
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

    // A long operation shows its progress and the window waits for it before it closes.
    void longOperationShowsProgress() {
        Window w;
        auto* bar = w.form->findChild<QProgressBar*>("ProgressBar1");
        QVERIFY(bar);
        {
            ProgressFeedback feedback(bar, 0);
            feedback.report(1, 4);
            QVERIFY(bar->isVisible());
            QCOMPARE(bar->value() * 4, bar->maximum());
            QVERIFY(!w.form->close());
            QVERIFY(w.dialogs.messages.empty());
        }
        QVERIFY(!bar->isVisible());
        w.dialogs.messageAnswers.push_back(MsgResult::No);
        QVERIFY(w.form->close());
    }
};

QTEST_MAIN(TestFormDocument)
#include "test_form_document.moc"
