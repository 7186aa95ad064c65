// The two settings files: what a close writes (and a cancelled close does not), their keys
// and values, and what a restart brings back.
#include "gui/app/form_settings.h"
#include "gui/vocab/recent_files.h"
#include "platform/file_names.h"
#include "platform/ini_profile.h"
#include "support/window_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QScreen>
#include <QToolButton>

#include <sys/stat.h>

#include <fstream>

using namespace lexanta;
using namespace lexanta::test;
using namespace Qt::StringLiterals;

namespace {

// The stored properties of editor.ini in the order they are written.
const QStringList kStorageKeys =
    u"FormVersion OpenDialog1_FileName N1_Caption N2_Caption N3_Caption N4_Caption N5_Caption "
    "N6_Caption N8_Caption Edit1_Caption Find1_Caption Replace1_Caption Service1_Caption "
    "questions1_Caption Sort1_Caption answers1_Caption comments1_Caption Swap1_Caption "
    "RandomizeEntries1_Caption InterfaceLanguage1_Caption Reload1_Caption "
    "SpeedbarSection1_Caption SpeedbarSection2_Caption SpeedbarSection3_Caption "
    "SpeedbarSection4_Caption SpeedItem1_Hint SpeedItem10_Hint SpeedItem11Random_Hint "
    "SpeedItem11Swap_Hint SpeedItem2_Hint SpeedItem3_Hint SpeedItem4_Hint SpeedItem5_Hint "
    "SpeedItem6_Hint SpeedItem8_Hint SpeedItem9_Hint SpeedItemHelp_Hint "
    "TotalWordsLabel_Caption TestLabel3_Caption TestLabel2_Caption TestLabel1_Caption "
    "TabSheet2_Caption TabSheet1_Caption GroupBox1_Caption GroupBox2_Caption GroupBox3_Caption "
    "LanguagesLabel_Caption AuthorLabel_Caption TitleLabel_Caption DateLabel_Caption "
    "CheckBox1_Caption GroupBox5_Caption GroupBox6_Caption GroupBox7_Caption Button2_Caption "
    "Button3_Caption Button4_Caption ChangeFont1_Caption ChangeFont2_Caption "
    "ChangeFont3_Caption FontSize1_Caption Import1_Caption Export1_Caption CheckBox1_Checked "
    "Merge1_Caption Exit1_Caption Removeblanklines1_Checked Removeblanklines1_Caption "
    "New1_Caption Findnext1_Caption"_s.split(u' ');

const QString kForm = u"TForm1"_s;
const QString kRecent = u"TForm1.MRUManager1"_s;
const QString kBar = u"TForm1SpeedBar1"_s;

QString editorIni(const Window& w) {
    return w.path(u"editor.ini"_s);
}
QString placementName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + u".INI"_s;
}
QString placement(const Window& w) {
    return w.path(u"lexanta-editor/"_s + placementName());
}
int screenPpi() {
    return qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch());
}
IniFile readIni(const QString& path) {
    IniFile ini;
    ini.load(path);
    return ini;
}

QListWidgetItem* listItem(QListWidget* list, const QString& buttonName) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->data(Qt::UserRole).toString() == buttonName)
            return list->item(i);
    return nullptr;
}

} // namespace

class TestFormSettings : public QObject {
    Q_OBJECT

private slots:
    void closeWritesBothFilesOrNeither_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("No") << static_cast<int>(MsgResult::No) << true;
        QTest::newRow("Cancel") << static_cast<int>(MsgResult::Cancel) << false;
    }
    void closeWritesBothFilesOrNeither() {
        QFETCH(int, answer);
        QFETCH(bool, written);
        Window w(WindowOptions::withSettings());
        w.dialogs.messageAnswers.push_back(static_cast<MsgResult>(answer));
        w.form->close();
        QCOMPARE(w.form->isVisible(), !written);
        QCOMPARE(QFileInfo::exists(editorIni(w)), written);
        QCOMPARE(QFileInfo::exists(placement(w)), written);
        QCOMPARE(w.dialogs.messages.size(), std::size_t(1)); // the prompt, no failure report
        if (!written) {
            w.quit(); // a later close still saves
            QVERIFY(QFileInfo::exists(editorIni(w)));
        }
    }

    void editorIniKeysAndDesignValues() {
        Window w(WindowOptions::withSettings());
        w.quit();
        const IniFile ini = readIni(editorIni(w));
        QCOMPARE(ini.sections(), QStringList{kForm});
        QCOMPARE(ini.keys(kForm), kStorageKeys);
        const QByteArray text = Window::read(editorIni(w));
        // design texts of a first start, trimmed as stored
        for (const char* line :
             {"FormVersion=0\n", "OpenDialog1_FileName=\n", "N2_Caption=&Load..\n",
              "SpeedItem4_Hint=Load dictionary (Ctrl+L)|\n", "CheckBox1_Checked=False\n",
              "Removeblanklines1_Checked=False\n", "Findnext1_Caption=Find &next\n"})
            QVERIFY2(text.contains(line), line);
    }

    void placementFileKeys() {
        Window w(WindowOptions::withSettings());
        w.form->setGeometry(40, 60, 700, 520);
        const QString a = w.copy(kAnimals, "a.lut");
        const QString b = w.copy(kAnimals, "b.lut");
        w.form->files().loadFile(a);
        w.form->files().loadFile(b);
        w.quit();

        const IniFile ini = readIni(placement(w));
        QCOMPARE(ini.sections(), (QStringList{kForm, kRecent, kBar}));
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        const QString res = u"(%1x%2)"_s.arg(screen.width()).arg(screen.height());
        QCOMPARE(ini.keys(kForm),
                 (QStringList{"FormVersion", "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos" + res,
                              "MinMaxPos", "NormPos" + res, "NormPos", "Visible"}));
        QStringList values;
        for (const QString& key : ini.keys(kForm))
            values << ini.value(kForm, key);
        QCOMPARE(values.mid(0, 4), (QStringList{"0", "0", "1", QString::number(screenPpi())}));
        QCOMPARE(values.mid(6), (QStringList{"40,60,740,580", "40,60,740,580", "0"}));

        QCOMPARE(ini.keys(kRecent), (QStringList{"Item_0", "Item_1"}));
        QCOMPARE(ini.value(kRecent, u"Item_0"_s) + ' ' + ini.value(kRecent, u"Item_1"_s),
                 b + ' ' + a);

        QStringList barKeys{"Position",      "Width",    "Version",
                            "PixelsPerInch", "BtnWidth", "BtnHeight"};
        for (int i = 1; i <= 12; ++i)
            barKeys << u"Button%1"_s.arg(i);
        barKeys << u"Count"_s;
        QCOMPARE(ini.keys(kBar), barKeys);
        QCOMPARE(ini.value(kBar, u"Count"_s), u"12"_s);
        // section by section: Editing, File, Other, Utilities
        QCOMPARE(ini.value(kBar, u"Button1"_s), u"SpeedItem1,203,3"_s);
        QCOMPARE(ini.value(kBar, u"Button12"_s), u"SpeedItem11Swap,443,3"_s);

        // A restart restores the recent list in its order; an emptied list leaves no section.
        w.start();
        QCOMPARE(w.form->files().recentFiles().items(), (QStringList{b, a}));
        w.form->files().recentFiles().clear();
        w.quit();
        QVERIFY(!readIni(placement(w)).hasSection(kRecent));
    }

    void storedTextForms_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("line");     // as written to the file
        QTest::addColumn<QString>("restored"); // as read back
        QTest::newRow("blanks trimmed") << u"  Save  "_s << u"N3_Caption=Save"_s << u"Save"_s;
        QTest::newRow("control characters trimmed")
            << u"\t\x01Save\x7f\r"_s << u"N3_Caption=Save\x7f"_s << u"Save\x7f"_s;
        QTest::newRow("double quoted")
            << u"\"Save\""_s << u"N3_Caption=\"\"Save\"\""_s << u"\"Save\""_s;
        QTest::newRow("single quoted")
            << u" 'Save' "_s << u"N3_Caption=\"'Save'\""_s << u"'Save'"_s;
        QTest::newRow("one quote only") << u"\"Save"_s << u"N3_Caption=\"Save"_s << u"\"Save"_s;
        QTest::newRow("cyrillic") << u"Сохранить &как..."_s << u"N3_Caption=Сохранить &как..."_s
                                  << u"Сохранить &как..."_s;
        QTest::newRow("empty") << QString() << u"N3_Caption="_s << QString();
    }
    void storedTextForms() {
        QFETCH(QString, caption);
        QFETCH(QString, line);
        QFETCH(QString, restored);
        Window w(WindowOptions::withSettings());
        w.action("N3")->setText(caption);
        w.quit();
        const QStringList lines = QString::fromUtf8(Window::read(editorIni(w))).split(u'\n');
        QVERIFY2(lines.contains(line), qPrintable(line));
        w.start();
        QCOMPARE(w.action("N3")->text(), restored);
    }

    void russianInterfaceSurvivesRestart() {
        Window w(WindowOptions::withSettings());
        w.form->language().applyLanguage(InterfaceLanguage::Russian);
        w.restart();
        QVERIFY(!w.form->language().isEnglishInterface());
        // every caption and hint came back, trimmed as stored
        QStringList expected, shown;
        for (const InterfaceText& t : interfaceTexts())
            if (t.kind != TextKind::Filter) {
                expected << t.text(InterfaceLanguage::Russian).trimmed();
                shown << w.shownText(t);
            }
        QCOMPARE(shown, expected);
        // the dialogs carry their design filters again
        QCOMPARE(w.form->files().openDialog().filter, u"Lexanta vocabularies (*.lut)|*.lut"_s);
        QCOMPARE(w.form->interchange().exportDialog().filter,
                 u"Tab delimited *.txt files|*.txt|HTML files (*html)|*.html; *htm"_s);
        w.form->language().applyLanguage(InterfaceLanguage::English);
        w.restart();
        QVERIFY(w.form->language().isEnglishInterface());
        QCOMPARE(w.action("N2")->text(), u"&Load..."_s);
    }

    void optionsSurviveRestart() {
        Window w(WindowOptions::withSettings());
        for (const bool on : {true, false}) {
            w.form->autoSwitch()->setChecked(on);
            w.action("Removeblanklines1")->setChecked(!on);
            w.restart();
            QCOMPARE(w.form->autoSwitch()->isChecked(), on);
            QCOMPARE(w.edit("Edit5")->isEnabled(), on); // the check box's handler ran
            QCOMPARE(w.action("Removeblanklines1")->isChecked(), !on);
        }
    }

    // An installed program cannot write its folder: editor.ini goes to the user's
    // configuration folder and is read from there.
    void unwritableProgramFolder() {
        Window w(false);
        w.options = WindowOptions::withSettings();
        w.options.programFolder = w.write(u"program-file"_s, "x");
        w.start();
        w.form->language().applyLanguage(InterfaceLanguage::Russian);
        w.action("Removeblanklines1")->setChecked(true);
        w.quit();
        const QString userIni = w.path(u"lexanta-editor/editor.ini"_s);
        QCOMPARE(readIni(userIni).value(kForm, u"N1_Caption"_s), u"&Файл"_s);
        w.start();
        QVERIFY(!w.form->language().isEnglishInterface());
        QVERIFY(w.action("Removeblanklines1")->isChecked());
        w.quit();
        QCOMPARE(w.dialogs.messages.size(), std::size_t(2)); // the close prompts: nothing failed
    }

    // When the program folder was full at the last close, the user's copy is the newer one.
    void newerEditorIniRead_data() {
        QTest::addColumn<bool>("userNewer");
        QTest::newRow("user's copy newer") << true;
        QTest::newRow("program folder's newer") << false;
    }
    void newerEditorIniRead() {
        QFETCH(bool, userNewer);
        Window w(false);
        QVERIFY(QDir(w.path({})).mkpath(u"lexanta-editor"_s));
        const QString program = w.write(u"editor.ini"_s, "[TForm1]\nN1_Caption=&Program\n");
        const QString user =
            w.write(u"lexanta-editor/editor.ini"_s, "[TForm1]\nN1_Caption=&User\n");
        const QDateTime now = QDateTime::currentDateTime();
        for (const auto& [file, age] :
             {std::pair{program, userNewer ? 60 : 0}, std::pair{user, userNewer ? 0 : 60}}) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite) &&
                    f.setFileTime(now.addSecs(-age), QFileDevice::FileModificationTime));
        }
        w.options = WindowOptions::withSettings();
        w.start();
        QCOMPARE(w.menu("N1")->title(), userNewer ? u"&User"_s : u"&Program"_s);
    }

    // A file name that is not UTF-8 comes back as the same bytes; a text edited by hand to
    // megabytes is cut when read.
    void oddStoredTexts() {
        Window w(WindowOptions::withSettings());
        const QString odd = fileNameFromBytes(QFile::encodeName(w.path({})) + "/caf\xe9.lut");
        {
            std::ofstream out(fileNameToBytes(odd).toStdString(), std::ios::binary);
            out << Window::read(kAnimals).toStdString();
            QVERIFY(out.flush());
        }
        w.form->files().openDialog().fileName = odd;
        w.form->files().recentFiles().add(odd);
        w.quit();
        IniFile ini = readIni(editorIni(w));
        ini.setValue(kForm, u"N2_Caption"_s, QString(1'000'000, u'x'));
        QVERIFY(ini.save());
        w.start();
        QCOMPARE(fileNameToBytes(w.doc().fileName()), fileNameToBytes(odd));
        QCOMPARE(fileNameToBytes(w.form->files().openDialog().fileName), fileNameToBytes(odd));
        QCOMPARE(w.form->files().recentFiles().items(), QStringList{odd});
        QCOMPARE(w.action("N2")->text().size(), FormSettings::kStoredTextLimit);
    }

    // The last file, remembered, has since become a pipe no one writes to: the start does not
    // wait on it.
    void rememberedPipeNotWaitedOn() {
        Window w(false);
        const QString pipe = w.path(u"pipe.lut"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        IniFile ini;
        ini.setValue(kForm, u"OpenDialog1_FileName"_s, pipe);
        w.write(u"editor.ini"_s, QByteArray::fromStdString(ini.toBytes()));
        w.options = WindowOptions::withSettings();
        w.start();
        QCOMPARE(w.dialogs.messageTexts(), QStringList{u"File Not Found\n"_s + pipe});
        QVERIFY(!w.doc().hasFile());
    }

    void lineBreaksDoNotInjectKeys() {
        Window w(WindowOptions::withSettings());
        // the trailing blank makes the escaped form carry the quotes that keep it
        const QString odd = w.path(u"two\nlines.lut\n[Evil]\nKey=1 "_s);
        const QString blanks = w.path(u" blanks .lut "_s);
        w.form->files().openDialog().fileName = odd;
        w.form->files().recentFiles().add(blanks);
        w.form->files().recentFiles().add(odd);
        w.action("N4")->setText(u"&Save\nN1_Caption=Hijacked"_s);
        w.quit();
        const IniFile storage = readIni(editorIni(w));
        QCOMPARE(storage.sections(), QStringList{kForm});
        QCOMPARE(storage.keys(kForm), kStorageKeys);
        const IniFile places = readIni(placement(w));
        QCOMPARE(places.sections(), (QStringList{kForm, kRecent, kBar}));
        QCOMPARE(places.keys(kRecent), (QStringList{"Item_0", "Item_1"}));

        // the restart tries the odd file (not there: File Not Found, then the Load dialog)
        w.dialogs = ScriptedDialogs{};
        w.start();
        QCOMPARE(w.dialogs.messageTexts(), QStringList{"File Not Found\n" + odd});
        QCOMPARE(w.form->files().openDialog().fileName, QString()); // not tried again
        QCOMPARE(w.form->files().recentFiles().items(), (QStringList{odd, blanks}));
        QCOMPARE(w.action("N4")->text(), u"&Save\nN1_Caption=Hijacked"_s);
        QVERIFY(w.form->language().isEnglishInterface());
    }

    void handEditedFiles() {
        Window w(false);
        // Quotes around a value are the profile functions' to strip; an unknown check state
        // leaves the design state; a negative FormVersion would skip the whole section.
        w.write(u"editor.ini"_s, "; kept by hand\n[TForm1]\nN1_Caption =  \"&Файл\"  \n"
                                 "CheckBox1_Checked=yes\nRemoveblanklines1_Checked=true\n"
                                 "TotalWordsLabel_Caption=<img src=x.png>Words\n"
                                 "[Other]\nKeep=1\n");
        w.options = WindowOptions::withSettings();
        w.start();
        QCOMPARE(w.menu("N1")->title(), u"&Файл"_s);
        QCOMPARE(w.label("TotalWordsLabel")->textFormat(), Qt::PlainText); // markup shown as text
        QCOMPARE(w.label("TotalWordsLabel")->text(), u"<img src=x.png>Words"_s);
        QVERIFY(!w.form->autoSwitch()->isChecked());
        QVERIFY(w.action("Removeblanklines1")->isChecked());
        w.quit();
        // what the program does not know stays in the file
        QVERIFY(Window::read(editorIni(w)).startsWith("; kept by hand\n"));
        QCOMPARE(readIni(editorIni(w)).value(u"Other"_s, u"Keep"_s), u"1"_s);

        w.write(u"editor.ini"_s, "[TForm1]\nFormVersion=-1\nN1_Caption=&Файл\n");
        w.start();
        QVERIFY(w.form->language().isEnglishInterface());
    }

    void windowPlacementRestored() {
        Window w(WindowOptions::withSettings());
        QVERIFY(!w.form->isMaximized()); // no placement file: the normal state
        w.form->setGeometry(30, 40, 660, 530);
        w.restart();
        QCOMPARE(w.form->geometry(), QRect(30, 40, 660, 530));
        QVERIFY(!w.form->isMaximized());
        w.form->setWindowState(Qt::WindowMaximized);
        w.quit();
        QCOMPARE(readIni(placement(w)).value(kForm, u"ShowCmd"_s), u"3"_s);
        w.start();
        QVERIFY(w.form->isMaximized());
        QCOMPARE(w.form->normalGeometry(), QRect(30, 40, 660, 530));
    }

    void placementFromAnotherScreenIgnored_data() {
        QTest::addColumn<QByteArray>("section");
        const QByteArray ppi = "PixelsPerInch=" + QByteArray::number(screenPpi()) + '\n';
        QTest::newRow("other pixels per inch")
            << "PixelsPerInch=" + QByteArray::number(screenPpi() + 24) +
                   "\nNormPos=10,10,300,300\n";
        QTest::newRow("off every screen") << ppi + "NormPos=20000,20000,20300,20300\n";
        QTest::newRow("not a rectangle") << ppi + "NormPos=5,5,1\n";
        QTest::newRow("empty rectangle") << ppi + "NormPos=50,50,50,90\n";
    }
    void placementFromAnotherScreenIgnored() {
        QFETCH(QByteArray, section);
        Window w;
        const QRect design = w.form->geometry();
        w.form.reset();
        w.write(QFileInfo(placement(w)).fileName(), "[TForm1]\nShowCmd=1\n" + section);
        w.options = WindowOptions::withSettings();
        w.start();
        QCOMPARE(w.form->geometry(), design);
    }

    // A placement stored on a larger screen or at another scale comes back whole, frame and
    // all, on this one.
    void placementFitsTheScreen_data() {
        QTest::addColumn<QRect>("stored");       // from the available area's top left, or its far
        QTest::addColumn<bool>("fromFarCorner"); // corner (past the bottom right)
        QTest::addColumn<QRect>("expected");     // empty size: the whole area
        QTest::addColumn<bool>("flushFar");      // expected: at the far edges
        QTest::newRow("fits: as stored")
            << QRect(30, 40, 400, 300) << false << QRect(30, 40, 400, 300) << false;
        QTest::newRow("over the right and bottom edges")
            << QRect(-200, -100, 400, 300) << true << QRect(0, 0, 400, 300) << true;
        QTest::newRow("over the left and top edges")
            << QRect(-100, -50, 400, 300) << false << QRect(0, 0, 400, 300) << false;
        QTest::newRow("larger than the screen")
            << QRect(10, 10, 4000, 3000) << false << QRect() << false;
    }
    void placementFitsTheScreen() {
        QFETCH(QRect, stored);
        QFETCH(bool, fromFarCorner);
        QFETCH(QRect, expected);
        QFETCH(bool, flushFar);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        stored.translate(fromFarCorner ? area.bottomRight() + QPoint(1, 1) : area.topLeft());
        Window w(false);
        w.form.reset();
        QDir(w.dir.path()).mkpath(u"lexanta-editor"_s);
        w.write(u"lexanta-editor/"_s + placementName(),
                "[TForm1]\nShowCmd=1\nPixelsPerInch=" + QByteArray::number(screenPpi()) +
                    "\nNormPos=" +
                    u"%1,%2,%3,%4"_s.arg(stored.left())
                        .arg(stored.top())
                        .arg(stored.left() + stored.width())
                        .arg(stored.top() + stored.height())
                        .toLatin1() +
                    '\n');
        w.options = WindowOptions::withSettings();
        w.start();
        const QRect frame = w.form->frameGeometry();
        QVERIFY2(area.contains(frame), qPrintable(u"%1,%2 %3x%4"_s.arg(frame.x())
                                                      .arg(frame.y())
                                                      .arg(frame.width())
                                                      .arg(frame.height())));
        if (expected.isEmpty()) {
            QCOMPARE(frame, area);
        } else if (flushFar) {
            QCOMPARE(frame.bottomRight(), area.bottomRight());
            QCOMPARE(w.form->geometry().size(), expected.size());
        } else if (stored.left() >= area.left()) {
            QCOMPARE(w.form->geometry(), expected.translated(area.topLeft()));
        } else {
            QCOMPARE(frame.topLeft(), area.topLeft());
            QCOMPARE(w.form->geometry().size(), expected.size());
        }
    }

    // The placement file lives in the editor's own configuration folder; one left at the top
    // of the configuration folder by an earlier version is read until the first save.
    void placementFileInItsFolder() {
        Window w(false);
        w.form.reset();
        const QString former =
            w.write(placementName(),
                    "[TForm1]\nShowCmd=1\nPixelsPerInch=" + QByteArray::number(screenPpi()) +
                        "\nNormPos=30,40,430,340\n[TForm1.MRUManager1]\nItem_0=/v/a.lut\n"
                        "[Other]\nKept=1\n");
        w.options = WindowOptions::withSettings();
        w.start();
        QCOMPARE(w.form->geometry(), QRect(30, 40, 400, 300));
        QCOMPARE(w.form->files().recentFiles().items(), QStringList{u"/v/a.lut"_s});
        w.form->setGeometry(50, 60, 420, 320);
        w.quit();
        const IniFile moved = readIni(placement(w));
        QCOMPARE(moved.value(kForm, u"NormPos"_s), u"50,60,470,380"_s);
        QCOMPARE(moved.value(u"Other"_s, u"Kept"_s), u"1"_s);
        QCOMPARE(readIni(former).value(kForm, u"NormPos"_s), u"30,40,430,340"_s); // untouched
        w.start();
        QCOMPARE(w.form->geometry(), QRect(50, 60, 420, 320)); // the former one is not read
    }

    void toolBarLayoutCustomisedAndStored() {
        Window w(WindowOptions::withSettings());
        // a double click on the free area between the File and Editing buttons
        QTest::mouseDClick(w.form->speedBar(), Qt::LeftButton, {}, QPoint(170, 20));
        auto* setup = w.form->findChild<SpeedBarCustomizeDialog*>();
        QVERIFY(setup && setup->isVisible());
        QCOMPARE(setup->categories()->count(), 4);
        setup->categories()->setCurrentRow(0); // Editing: SpeedItem1, SpeedItem2, SpeedItem6
        QCOMPARE(setup->buttons()->count(), 3);
        QListWidgetItem* del = listItem(setup->buttons(), u"SpeedItem6"_s);
        QCOMPARE(del->checkState(), Qt::Checked);
        del->setCheckState(Qt::Unchecked);
        QVERIFY(!SpeedBar::isButtonShown(w.button("SpeedItem6")));
        setup->categories()->setCurrentRow(3);
        listItem(setup->buttons(), u"SpeedItem10"_s)->setCheckState(Qt::Unchecked);
        w.button("SpeedItem11Swap")->move(520, 3);
        w.quit();
        const IniFile ini = readIni(placement(w));
        QCOMPARE(ini.value(kBar, u"Count"_s), u"10"_s);

        w.start();
        QVERIFY(!SpeedBar::isButtonShown(w.button("SpeedItem6")));
        QVERIFY(!SpeedBar::isButtonShown(w.button("SpeedItem10")));
        QVERIFY(SpeedBar::isButtonShown(w.button("SpeedItem1")));
        QCOMPARE(w.button("SpeedItem11Swap")->pos(), QPoint(520, 3));
        // put back through the customisation window, at its design place
        w.form->speedBar()->customize();
        setup = w.form->findChild<SpeedBarCustomizeDialog*>();
        setup->categories()->setCurrentRow(0);
        listItem(setup->buttons(), u"SpeedItem6"_s)->setCheckState(Qt::Checked);
        QCOMPARE(w.button("SpeedItem6")->pos(), QPoint(283, 3));
        w.quit();

        // a layout stored at other pixels per inch is not applied
        IniFile edited = readIni(placement(w));
        QCOMPARE(edited.value(kBar, u"Count"_s), u"11"_s);
        edited.setIntValue(kBar, u"PixelsPerInch"_s, screenPpi() + 48);
        QVERIFY(edited.save());
        w.start();
        QVERIFY(SpeedBar::isButtonShown(w.button("SpeedItem10")));
        QCOMPARE(w.button("SpeedItem11Swap")->pos(), QPoint(443, 3));
    }

    // A window that did not read the settings does not overwrite them with its design values.
    void noRestoreMeansNoSave() {
        Window w;
        w.form->language().applyLanguage(InterfaceLanguage::Russian);
        w.quit();
        QVERIFY(!QFileInfo::exists(editorIni(w)));
        QVERIFY(!QFileInfo::exists(placement(w)));
    }
};

QTEST_MAIN(TestFormSettings)
#include "test_form_settings.moc"
