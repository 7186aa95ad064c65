// The two settings files: what a close writes (and a cancelled close does not), their keys
// and values, and what a restart brings back.
#include "app/form_settings.h"
#include "app/mru_manager.h"
#include "app/speed_bar.h"
#include "app/tform1.h"
#include "platform/ini_profile.h"
#include "platform/keyboard_layouts.h"
#include "support/scripted_dialogs.h"
#include "ui_language/language_tables.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace lexanta;
using lexanta::test::ScriptedDialogs;

namespace {

const QString kAnimals = QStringLiteral(LEXANTA_TEST_DATA "/animals.lut");

// The stored properties of editor.ini in the order they are written.
const QStringList kStorageKeys = {"FormVersion",
                                  "OpenDialog1_FileName",
                                  "N1_Caption",
                                  "N2_Caption",
                                  "N3_Caption",
                                  "N4_Caption",
                                  "N5_Caption",
                                  "N6_Caption",
                                  "N8_Caption",
                                  "Edit1_Caption",
                                  "Find1_Caption",
                                  "Replace1_Caption",
                                  "Service1_Caption",
                                  "questions1_Caption",
                                  "Sort1_Caption",
                                  "answers1_Caption",
                                  "comments1_Caption",
                                  "Swap1_Caption",
                                  "RandomizeEntries1_Caption",
                                  "InterfaceLanguage1_Caption",
                                  "Reload1_Caption",
                                  "SpeedbarSection1_Caption",
                                  "SpeedbarSection2_Caption",
                                  "SpeedbarSection3_Caption",
                                  "SpeedbarSection4_Caption",
                                  "SpeedItem1_Hint",
                                  "SpeedItem10_Hint",
                                  "SpeedItem11Random_Hint",
                                  "SpeedItem11Swap_Hint",
                                  "SpeedItem2_Hint",
                                  "SpeedItem3_Hint",
                                  "SpeedItem4_Hint",
                                  "SpeedItem5_Hint",
                                  "SpeedItem6_Hint",
                                  "SpeedItem8_Hint",
                                  "SpeedItem9_Hint",
                                  "SpeedItemHelp_Hint",
                                  "TotalWordsLabel_Caption",
                                  "TestLabel3_Caption",
                                  "TestLabel2_Caption",
                                  "TestLabel1_Caption",
                                  "TabSheet2_Caption",
                                  "TabSheet1_Caption",
                                  "GroupBox1_Caption",
                                  "GroupBox2_Caption",
                                  "GroupBox3_Caption",
                                  "LanguagesLabel_Caption",
                                  "AuthorLabel_Caption",
                                  "TitleLabel_Caption",
                                  "DateLabel_Caption",
                                  "CheckBox1_Caption",
                                  "GroupBox5_Caption",
                                  "GroupBox6_Caption",
                                  "GroupBox7_Caption",
                                  "Button2_Caption",
                                  "Button3_Caption",
                                  "Button4_Caption",
                                  "ChangeFont1_Caption",
                                  "ChangeFont2_Caption",
                                  "ChangeFont3_Caption",
                                  "FontSize1_Caption",
                                  "Import1_Caption",
                                  "Export1_Caption",
                                  "CheckBox1_Checked",
                                  "Merge1_Caption",
                                  "Exit1_Caption",
                                  "Removeblanklines1_Checked",
                                  "Removeblanklines1_Caption",
                                  "New1_Caption",
                                  "Findnext1_Caption"};

QString placementName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() +
           QStringLiteral(".INI");
}

QString resolution() {
    const QSize s = QGuiApplication::primaryScreen()->geometry().size();
    return QStringLiteral("(%1x%2)").arg(s.width()).arg(s.height());
}

int screenPpi() {
    return qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch());
}

IniFile readIni(const QString& path) {
    IniFile ini;
    ini.load(path);
    return ini;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct Session {
    QTemporaryDir program, config;
    QString programFolder; // empty: program.path()
    ScriptedDialogs dialogs;
    MemoryKeyboardLayouts layouts;
    std::unique_ptr<TForm1> form;

    void start(bool restore = true) {
        dialogs = ScriptedDialogs{};
        FormServices s;
        s.dialogs = &dialogs;
        s.keyboardLayouts = &layouts;
        s.restoreSettings = restore;
        s.programFolder = programFolder.isEmpty() ? program.path() : programFolder;
        s.configFolder = config.path();
        form = std::make_unique<TForm1>(s);
        form->show();
    }
    void quit() {
        dialogs.messageAnswers.push_back(MsgResult::No);
        form->close();
        QVERIFY(!form->isVisible());
        form.reset();
    }
    void restart() {
        quit();
        start();
    }
    QString editorIni() const { return program.filePath(QStringLiteral("editor.ini")); }
    QString placement() const { return config.filePath(placementName()); }
};

QString trimmedForStore(const QString& text) {
    qsizetype b = 0, e = text.size();
    while (b < e && text[b].unicode() <= 0x20)
        ++b;
    while (e > b && text[e - 1].unicode() <= 0x20)
        --e;
    return text.mid(b, e - b);
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
    void closeWritesBothFilesOrNeither_data();
    void closeWritesBothFilesOrNeither();
    void editorIniKeysAndDesignValues();
    void placementFileKeys();
    void storedTextForms_data();
    void storedTextForms();
    void russianInterfaceSurvivesRestart();
    void optionsSurviveRestart_data();
    void optionsSurviveRestart();
    void unwritableProgramFolder();
    void lineBreaksDoNotInjectKeys();
    void handEditedFiles();
    void windowPlacementRestored();
    void placementFromAnotherScreenIgnored_data();
    void placementFromAnotherScreenIgnored();
    void toolBarLayoutCustomisedAndStored();
    void noRestoreMeansNoSave();
};

void TestFormSettings::closeWritesBothFilesOrNeither_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("written");
    QTest::newRow("No") << static_cast<int>(MsgResult::No) << true;
    QTest::newRow("Cancel") << static_cast<int>(MsgResult::Cancel) << false;
}

void TestFormSettings::closeWritesBothFilesOrNeither() {
    QFETCH(int, answer);
    QFETCH(bool, written);
    Session s;
    s.start();
    s.dialogs.messageAnswers.push_back(static_cast<MsgResult>(answer));
    s.form->close();
    QCOMPARE(s.form->isVisible(), !written);
    QCOMPARE(QFileInfo::exists(s.editorIni()), written);
    QCOMPARE(QFileInfo::exists(s.placement()), written);
    QCOMPARE(s.dialogs.messages.size(), std::size_t(1)); // the prompt, no failure report
    if (!written) {
        s.quit(); // a later close still saves
        QVERIFY(QFileInfo::exists(s.editorIni()));
    }
}

void TestFormSettings::editorIniKeysAndDesignValues() {
    Session s;
    s.start();
    s.quit();
    const IniFile ini = readIni(s.editorIni());
    QCOMPARE(ini.sections(), QStringList{QStringLiteral("TForm1")});
    QCOMPARE(ini.keys(QStringLiteral("TForm1")), kStorageKeys);
    const QByteArray text = fileBytes(s.editorIni());
    // design texts of a first start, trimmed as stored
    for (const char* line :
         {"FormVersion=0\n", "OpenDialog1_FileName=\n", "N1_Caption=&File\n",
          "N2_Caption=&Load..\n", "N8_Caption=-\n", "Reload1_Caption=Reload\n",
          "SpeedbarSection4_Caption=Utilities\n", "SpeedItem4_Hint=Load dictionary (Ctrl+L)|\n",
          "GroupBox1_Caption=About vocabulary\n", "TestLabel1_Caption=Test:\n",
          "CheckBox1_Checked=False\n", "Removeblanklines1_Checked=False\n",
          "TabSheet2_Caption=Preferences\n", "Findnext1_Caption=Find &next\n"})
        QVERIFY2(text.contains(line), line);
}

void TestFormSettings::placementFileKeys() {
    Session s;
    s.start();
    s.form->setGeometry(40, 60, 700, 520);
    const QString a = s.program.filePath(QStringLiteral("a.lut"));
    const QString b = s.program.filePath(QStringLiteral("b.lut"));
    QFile::copy(kAnimals, a);
    QFile::copy(kAnimals, b);
    s.form->LoadDictionary(a);
    s.form->LoadDictionary(b);
    s.quit();

    const IniFile ini = readIni(s.placement());
    QCOMPARE(ini.sections(), (QStringList{"TForm1", "TForm1.MRUManager1", "TForm1SpeedBar1"}));
    const QString res = resolution();
    QCOMPARE(ini.keys(QStringLiteral("TForm1")),
             (QStringList{"FormVersion", "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos" + res,
                          "MinMaxPos", "NormPos" + res, "NormPos", "Visible"}));
    const auto v = [&](const char* key) {
        return ini.value(QStringLiteral("TForm1"), QString::fromLatin1(key));
    };
    QCOMPARE(v("FormVersion"), QStringLiteral("0"));
    QCOMPARE(v("Flags"), QStringLiteral("0"));
    QCOMPARE(v("ShowCmd"), QStringLiteral("1"));
    QCOMPARE(v("PixelsPerInch"), QString::number(screenPpi()));
    QCOMPARE(v("NormPos"), QStringLiteral("40,60,740,580"));
    QCOMPARE(ini.value(QStringLiteral("TForm1"), "NormPos" + res), QStringLiteral("40,60,740,580"));
    QCOMPARE(v("MinMaxPos").split(QLatin1Char(',')).size(), 4);
    QCOMPARE(v("Visible"), QStringLiteral("0"));

    QCOMPARE(ini.keys(QStringLiteral("TForm1.MRUManager1")), (QStringList{"Item_0", "Item_1"}));
    QCOMPARE(ini.value(QStringLiteral("TForm1.MRUManager1"), QStringLiteral("Item_0")), b);
    QCOMPARE(ini.value(QStringLiteral("TForm1.MRUManager1"), QStringLiteral("Item_1")), a);

    const QString bar = QStringLiteral("TForm1SpeedBar1");
    QStringList barKeys{"Position", "Width", "Version", "PixelsPerInch", "BtnWidth", "BtnHeight"};
    for (int i = 1; i <= 12; ++i)
        barKeys << QStringLiteral("Button%1").arg(i);
    barKeys << QStringLiteral("Count");
    QCOMPARE(ini.keys(bar), barKeys);
    QCOMPARE(ini.value(bar, QStringLiteral("Position")), QStringLiteral("1"));
    QCOMPARE(ini.value(bar, QStringLiteral("Width")), QStringLiteral("46"));
    QCOMPARE(ini.value(bar, QStringLiteral("BtnWidth")), QStringLiteral("40"));
    QCOMPARE(ini.value(bar, QStringLiteral("BtnHeight")), QStringLiteral("40"));
    QCOMPARE(ini.value(bar, QStringLiteral("Count")), QStringLiteral("12"));
    // section by section: Editing, File, Other, Utilities
    QCOMPARE(ini.value(bar, QStringLiteral("Button1")), QStringLiteral("SpeedItem1,203,3"));
    QCOMPARE(ini.value(bar, QStringLiteral("Button4")), QStringLiteral("SpeedItem3,3,3"));
    QCOMPARE(ini.value(bar, QStringLiteral("Button8")), QStringLiteral("SpeedItemHelp,531,3"));
    QCOMPARE(ini.value(bar, QStringLiteral("Button12")), QStringLiteral("SpeedItem11Swap,443,3"));

    // A restart over a recent list written by hand restores it in its order; the User_ keys
    // of item values are not kept.
    s.start();
    QCOMPARE(s.form->MRUManager1->items(), (QStringList{b, a}));
    s.form->MRUManager1->clear();
    s.quit();
    QVERIFY(!readIni(s.placement()).hasSection(QStringLiteral("TForm1.MRUManager1")));
}

void TestFormSettings::storedTextForms_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("line");     // as written to the file
    QTest::addColumn<QString>("restored"); // as read back
    QTest::newRow("plain") << "Save &as..."
                           << "N3_Caption=Save &as..."
                           << "Save &as...";
    QTest::newRow("blanks trimmed") << "  Save  "
                                    << "N3_Caption=Save"
                                    << "Save";
    QTest::newRow("control characters trimmed") << "\t\x01Save\x7f\r"
                                                << "N3_Caption=Save\x7f"
                                                << "Save\x7f";
    QTest::newRow("double quoted") << "\"Save\""
                                   << "N3_Caption=\"\"Save\"\""
                                   << "\"Save\"";
    QTest::newRow("single quoted") << " 'Save' "
                                   << "N3_Caption=\"'Save'\""
                                   << "'Save'";
    QTest::newRow("one quote only") << "\"Save"
                                    << "N3_Caption=\"Save"
                                    << "\"Save";
    QTest::newRow("cyrillic") << "Сохранить &как..."
                              << "N3_Caption=Сохранить &как..."
                              << "Сохранить &как...";
    QTest::newRow("empty") << ""
                           << "N3_Caption="
                           << "";
}

void TestFormSettings::storedTextForms() {
    QFETCH(QString, caption);
    QFETCH(QString, line);
    QFETCH(QString, restored);
    QCOMPARE(FormSettings::storedText(caption).isEmpty(), restored.isEmpty());
    Session s;
    s.start();
    s.form->N3->setText(caption);
    s.quit();
    const QStringList lines = QString::fromUtf8(fileBytes(s.editorIni())).split(QLatin1Char('\n'));
    QVERIFY2(lines.contains(line), qPrintable(line));
    s.start();
    QCOMPARE(s.form->N3->text(), restored);
    s.quit();
}

void TestFormSettings::russianInterfaceSurvivesRestart() {
    Session s;
    s.start();
    s.form->RussianMenuItemClick();
    s.restart();
    TForm1& form = *s.form;
    QVERIFY(!form.IsEnglishInterface());
    QCOMPARE(form.N1->title(), QStringLiteral("&Файл"));
    QCOMPARE(form.PageControl1->tabText(1), QStringLiteral("Информация и настройки"));
    QCOMPARE(form.SpeedBar1->sections().at(3).caption, QStringLiteral("Сервис"));
    QCOMPARE(form.SpeedItem6->toolTip(), QStringLiteral("Удалить словарную статью (Ctrl+Del)"));
    // every caption and hint of the Russian column came back, trimmed as stored
    int checked = 0;
    for (const InterfaceText& row : interfaceTexts()) {
        const QString name = QString::fromLatin1(row.control);
        const QString russian = trimmedForStore(row.text(InterfaceLanguage::Russian));
        if (row.kind == TextKind::Hint) {
            QCOMPARE(TForm1::hint(form.SpeedBar1->button(name)), russian);
            ++checked;
        } else if (row.kind == TextKind::Caption) {
            QObject* control = form.findChild<QObject*>(name);
            QString shown;
            if (auto* m = qobject_cast<QMenu*>(control))
                shown = m->title();
            else if (auto* a = qobject_cast<QAction*>(control))
                shown = a->text();
            else if (auto* g = qobject_cast<QGroupBox*>(control))
                shown = g->title();
            else if (auto* l = qobject_cast<QLabel*>(control))
                shown = l->text();
            else if (auto* b = qobject_cast<QAbstractButton*>(control))
                shown = b->text();
            else
                continue; // tab pages and tool bar sections, checked above
            QCOMPARE(shown, russian);
            ++checked;
        }
    }
    QCOMPARE(checked, 12 + 53 - 6);
    // the dialogs carry their design filters again
    QCOMPARE(form.OpenDialog1.filter, QStringLiteral("Lexanta vocabularies (*.lut)|*.lut"));
    QCOMPARE(form.SaveDialog2.filter,
             QStringLiteral("Tab delimited *.txt files|*.txt|HTML files (*html)|*.html; *htm"));
    // and the close prompt asks in Russian
    s.dialogs.messageAnswers.push_back(MsgResult::Cancel);
    form.close();
    QCOMPARE(s.dialogs.messages.back().text, QStringLiteral("Сохранить перед закрытием?"));
    form.English1Click();
    s.restart();
    QVERIFY(s.form->IsEnglishInterface());
    QCOMPARE(s.form->N2->text(), QStringLiteral("&Load..."));
    s.quit();
}

void TestFormSettings::optionsSurviveRestart_data() {
    QTest::addColumn<bool>("autoSwitch");
    QTest::addColumn<bool>("removeBlank");
    QTest::newRow("both on") << true << true;
    QTest::newRow("switching only") << true << false;
    QTest::newRow("blank removal only") << false << true;
}

void TestFormSettings::optionsSurviveRestart() {
    QFETCH(bool, autoSwitch);
    QFETCH(bool, removeBlank);
    Session s;
    s.start();
    s.form->CheckBox1->setChecked(autoSwitch);
    s.form->Removeblanklines1->setChecked(removeBlank);
    s.restart();
    QCOMPARE(s.form->CheckBox1->isChecked(), autoSwitch);
    QCOMPARE(s.form->Removeblanklines1->isChecked(), removeBlank);
    s.form->CheckBox1->setChecked(false);
    s.form->Removeblanklines1->setChecked(false);
    s.restart();
    QVERIFY(!s.form->CheckBox1->isChecked());
    QVERIFY(!s.form->Removeblanklines1->isChecked());
    s.quit();
}

// An installed program cannot write its folder: editor.ini goes to the user's
// configuration folder and is read from there.
void TestFormSettings::unwritableProgramFolder() {
    Session s;
    const QString notAFolder = s.program.filePath(QStringLiteral("program-file"));
    writeFile(notAFolder, "x");
    s.programFolder = notAFolder;
    s.start();
    s.form->RussianMenuItemClick();
    s.form->Removeblanklines1->setChecked(true);
    s.quit();
    const QString userIni = s.config.filePath(QStringLiteral("lexanta-editor/editor.ini"));
    QVERIFY(QFileInfo::exists(userIni));
    QCOMPARE(readIni(userIni).value(QStringLiteral("TForm1"), QStringLiteral("N1_Caption")),
             QStringLiteral("&Файл"));
    s.start();
    QVERIFY(s.dialogs.messages.empty());
    QVERIFY(!s.form->IsEnglishInterface());
    QVERIFY(s.form->Removeblanklines1->isChecked());
    s.quit();
    QVERIFY(s.dialogs.messages.size() == 1); // only the close prompt: nothing failed
}

void TestFormSettings::lineBreaksDoNotInjectKeys() {
    Session s;
    s.start();
    const QString odd = s.program.filePath(QStringLiteral("two\nlines.lut\n[Evil]\nKey=1"));
    const QString blanks = s.program.filePath(QStringLiteral(" blanks .lut "));
    s.form->OpenDialog1.fileName = odd;
    s.form->MRUManager1->add(blanks);
    s.form->MRUManager1->add(odd);
    s.form->N4->setText(QStringLiteral("&Save\nN1_Caption=Hijacked"));
    s.quit();
    const IniFile storage = readIni(s.editorIni());
    QCOMPARE(storage.keys(QStringLiteral("TForm1")), kStorageKeys);
    QCOMPARE(storage.sections(), QStringList{QStringLiteral("TForm1")});
    const IniFile placement = readIni(s.placement());
    QVERIFY(!placement.hasSection(QStringLiteral("Evil")));
    QCOMPARE(placement.keys(QStringLiteral("TForm1.MRUManager1")),
             (QStringList{"Item_0", "Item_1"}));

    // the restart tries the odd file (not there: File Not Found, then the Load dialog)
    s.start();
    QCOMPARE(s.dialogs.messageTexts(), QStringList{QStringLiteral("File Not Found")});
    QCOMPARE(s.form->OpenDialog1.fileName, odd);
    QCOMPARE(s.form->MRUManager1->items(), (QStringList{odd, blanks}));
    QCOMPARE(s.form->N4->text(), QStringLiteral("&Save\nN1_Caption=Hijacked"));
    QVERIFY(s.form->IsEnglishInterface());
    s.quit();
}

void TestFormSettings::handEditedFiles() {
    Session s;
    // Quotes around a value are the profile functions' to strip; an unknown check state
    // leaves the design state; a negative FormVersion would skip the whole section.
    writeFile(s.editorIni(), "; kept by hand\n[TForm1]\nN1_Caption =  \"&Файл\"  \n"
                             "CheckBox1_Checked=yes\nRemoveblanklines1_Checked=true\n"
                             "[Other]\nKeep=1\n");
    s.start();
    QCOMPARE(s.form->N1->title(), QStringLiteral("&Файл"));
    QVERIFY(!s.form->IsEnglishInterface());
    QVERIFY(!s.form->CheckBox1->isChecked());
    QVERIFY(s.form->Removeblanklines1->isChecked());
    s.quit();
    // what the program does not know stays in the file
    const QByteArray text = fileBytes(s.editorIni());
    QVERIFY(text.startsWith("; kept by hand\n"));
    QCOMPARE(readIni(s.editorIni()).value(QStringLiteral("Other"), QStringLiteral("Keep")),
             QStringLiteral("1"));

    writeFile(s.editorIni(), "[TForm1]\nFormVersion=-1\nN1_Caption=&Файл\n");
    s.start();
    QVERIFY(s.form->IsEnglishInterface());
    s.quit();
}

void TestFormSettings::windowPlacementRestored() {
    Session s;
    s.start();
    QVERIFY(!s.form->isMaximized()); // no placement file: the normal state
    s.form->setGeometry(30, 40, 660, 530);
    s.restart();
    QCOMPARE(s.form->geometry(), QRect(30, 40, 660, 530));
    QVERIFY(!s.form->isMaximized());
    s.form->setWindowState(Qt::WindowMaximized);
    s.quit();
    QCOMPARE(readIni(s.placement()).value(QStringLiteral("TForm1"), QStringLiteral("ShowCmd")),
             QStringLiteral("3"));
    s.start();
    QVERIFY(s.form->isMaximized());
    QCOMPARE(s.form->normalGeometry(), QRect(30, 40, 660, 530));
    s.quit();
}

void TestFormSettings::placementFromAnotherScreenIgnored_data() {
    QTest::addColumn<QByteArray>("section");
    const QByteArray ppi = QByteArray::number(screenPpi());
    QTest::newRow("other pixels per inch") << QByteArray(
        "PixelsPerInch=" + QByteArray::number(screenPpi() + 24) + "\nNormPos=10,10,300,300\n");
    QTest::newRow("off every screen")
        << QByteArray("PixelsPerInch=" + ppi + "\nNormPos=20000,20000,20300,20300\n");
    QTest::newRow("not a rectangle") << QByteArray("PixelsPerInch=" + ppi + "\nNormPos=5,5,1\n");
    QTest::newRow("empty rectangle")
        << QByteArray("PixelsPerInch=" + ppi + "\nNormPos=50,50,50,90\n");
}

void TestFormSettings::placementFromAnotherScreenIgnored() {
    QFETCH(QByteArray, section);
    Session s;
    s.start(false);
    const QRect design = s.form->geometry();
    s.form.reset();
    writeFile(s.placement(), "[TForm1]\nShowCmd=1\n" + section);
    s.start();
    QCOMPARE(s.form->geometry(), design);
    s.quit();
}

void TestFormSettings::toolBarLayoutCustomisedAndStored() {
    Session s;
    s.start();
    SpeedBar* bar = s.form->SpeedBar1;
    // a double click on the free area between the File and Editing buttons
    QTest::mouseDClick(bar, Qt::LeftButton, {}, QPoint(170, 20));
    auto* setup = s.form->findChild<SpeedBarCustomizeDialog*>();
    QVERIFY(setup);
    QVERIFY(setup->isVisible());
    QCOMPARE(setup->categories()->count(), 4);
    QCOMPARE(setup->categories()->item(0)->text(), QStringLiteral("Editing"));
    setup->categories()->setCurrentRow(0);
    QCOMPARE(setup->buttons()->count(), 3); // SpeedItem1, SpeedItem2, SpeedItem6
    QListWidgetItem* del = listItem(setup->buttons(), QStringLiteral("SpeedItem6"));
    QVERIFY(del);
    QCOMPARE(del->checkState(), Qt::Checked);
    del->setCheckState(Qt::Unchecked);
    QVERIFY(!SpeedBar::isButtonShown(s.form->SpeedItem6));
    setup->categories()->setCurrentRow(3);
    listItem(setup->buttons(), QStringLiteral("SpeedItem10"))->setCheckState(Qt::Unchecked);
    s.form->SpeedItem11Swap->move(520, 3);
    s.quit();

    const IniFile ini = readIni(s.placement());
    const QString section = QStringLiteral("TForm1SpeedBar1");
    QCOMPARE(ini.value(section, QStringLiteral("Count")), QStringLiteral("10"));
    QStringList stored;
    for (int i = 1; i <= 10; ++i)
        stored << ini.value(section, QStringLiteral("Button%1").arg(i));
    QVERIFY(!stored.join(QLatin1Char(' ')).contains(QLatin1String("SpeedItem6,")));
    QVERIFY(stored.contains(QStringLiteral("SpeedItem11Swap,520,3")));

    s.start();
    bar = s.form->SpeedBar1;
    QVERIFY(!SpeedBar::isButtonShown(s.form->SpeedItem6));
    QVERIFY(!SpeedBar::isButtonShown(s.form->SpeedItem10));
    QVERIFY(SpeedBar::isButtonShown(s.form->SpeedItem1));
    QCOMPARE(s.form->SpeedItem11Swap->pos(), QPoint(520, 3));
    // put back through the customisation window, at its design place
    s.form->SpeedBar1DblClick();
    setup = s.form->findChild<SpeedBarCustomizeDialog*>();
    setup->categories()->setCurrentRow(0);
    listItem(setup->buttons(), QStringLiteral("SpeedItem6"))->setCheckState(Qt::Checked);
    QVERIFY(SpeedBar::isButtonShown(s.form->SpeedItem6));
    QCOMPARE(s.form->SpeedItem6->pos(), QPoint(283, 3));
    s.quit();
    QCOMPARE(readIni(s.placement()).value(section, QStringLiteral("Count")), QStringLiteral("11"));

    // a layout stored at other pixels per inch is not applied
    IniFile edited = readIni(s.placement());
    edited.setIntValue(section, QStringLiteral("PixelsPerInch"), screenPpi() + 48);
    QVERIFY(edited.save());
    s.start();
    QVERIFY(SpeedBar::isButtonShown(s.form->SpeedItem10));
    QCOMPARE(s.form->SpeedItem11Swap->pos(), QPoint(443, 3));
    s.quit();
}

// A window that did not read the settings does not overwrite them with its design values.
void TestFormSettings::noRestoreMeansNoSave() {
    Session s;
    s.start(false);
    s.form->RussianMenuItemClick();
    s.quit();
    QVERIFY(!QFileInfo::exists(s.editorIni()));
    QVERIFY(!QFileInfo::exists(s.placement()));
}

QTEST_MAIN(TestFormSettings)
#include "test_form_settings.moc"
