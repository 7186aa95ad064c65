// The recent-file list: its captions, order and limits, its submenu, the commands that
// add to it, and the last file reopened at the next start.
#include "app/mru_manager.h"
#include "app/tform1.h"
#include "platform/keyboard_layouts.h"
#include "support/scripted_dialogs.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace lexanta;
using lexanta::test::ScriptedDialogs;

namespace {

const QString kAnimals = QStringLiteral(LEXANTA_TEST_DATA "/animals.lut");

QStringList menuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* a : menu->actions())
        texts << a->text();
    return texts;
}

// A window over a program folder and a configuration folder that outlive it, so that a
// second window started on the same folders sees what the first one saved.
struct Session {
    QTemporaryDir program, config;
    ScriptedDialogs dialogs;
    MemoryKeyboardLayouts layouts;
    std::unique_ptr<TForm1> form;

    void start(bool restore = true) {
        dialogs = ScriptedDialogs{};
        FormServices s;
        s.dialogs = &dialogs;
        s.keyboardLayouts = &layouts;
        s.restoreSettings = restore;
        s.programFolder = program.path();
        s.configFolder = config.path();
        form = std::make_unique<TForm1>(s);
        form->show();
    }
    // Closes with No at the save prompt, which writes the settings.
    void quit() {
        dialogs.messageAnswers.push_back(MsgResult::No);
        form->close();
        QVERIFY(!form->isVisible());
        form.reset();
    }
    QString copyOf(const QString& name) const {
        const QString path = program.filePath(name);
        QFile::remove(path);
        QFile::copy(kAnimals, path);
        return path;
    }
    void load(const QString& path) {
        dialogs.fileAnswers.push_back({path});
        form->N2Click();
    }
};

} // namespace

class TestRecentFiles : public QObject {
    Q_OBJECT

private slots:
    void listOrderAndLimit_data();
    void listOrderAndLimit();
    void captionsAndSubmenu();
    void clickingAnItem();
    void ampersandInPath();
    void elevenLoadedFiles();
    void sameFileTwice();
    void deletedRecentFile();
    void saveAsAddsThePath();
    void saveAsThenRestartReopensTheLastOpened();
    void restartWithTheLastFileGone();
    void newVocabularySavedComesBack();
};

void TestRecentFiles::listOrderAndLimit_data() {
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("newest first") << QStringList{"/a", "/b", "/c"} << QStringList{"/c", "/b", "/a"};
    QTest::newRow("again moves to top")
        << QStringList{"/a", "/b", "/c", "/a"} << QStringList{"/a", "/c", "/b"};
    QTest::newRow("letter case ignored, new spelling kept")
        << QStringList{"/x/Cat.lut", "/y", "/x/cat.LUT"} << QStringList{"/x/cat.LUT", "/y"};
    QStringList eleven, lastTen;
    for (int i = 1; i <= 11; ++i)
        eleven << QStringLiteral("/f%1").arg(i);
    for (int i = 11; i >= 2; --i)
        lastTen << QStringLiteral("/f%1").arg(i);
    QTest::newRow("eleven keep ten") << eleven << lastTen;
    QTest::newRow("empty path ignored") << QStringList{"/a", ""} << QStringList{"/a"};
}

void TestRecentFiles::listOrderAndLimit() {
    QFETCH(QStringList, added);
    QFETCH(QStringList, expected);
    QMenu menu;
    MruManager mru(&menu);
    for (const QString& p : added)
        mru.add(p);
    QCOMPARE(mru.items(), expected);
    QCOMPARE(menu.actions().size(), expected.size());

    // setItems (the restore) keeps the stored order, with the same rules
    MruManager restored(nullptr);
    QStringList stored = added;
    std::reverse(stored.begin(), stored.end());
    restored.setItems(stored);
    QCOMPARE(restored.items(), expected);
}

void TestRecentFiles::captionsAndSubmenu() {
    QMenu menu;
    MruManager mru(&menu);
    QVERIFY(!menu.isEnabled());
    QVERIFY(!menu.menuAction()->isEnabled());
    for (int i = 1; i <= 10; ++i)
        mru.add(QStringLiteral("/v/%1.lut").arg(i));
    const QStringList texts = menuTexts(&menu);
    QCOMPARE(texts.size(), 10);
    QCOMPARE(texts.first(), QStringLiteral("&1\t/v/10.lut"));
    QCOMPARE(texts.at(8), QStringLiteral("&9\t/v/2.lut"));
    QCOMPARE(texts.last(), QStringLiteral("&A\t/v/1.lut"));
    QVERIFY(menu.isEnabled());
    QVERIFY(menu.menuAction()->isEnabled());
    mru.clear();
    QVERIFY(menu.actions().isEmpty());
    QVERIFY(!menu.menuAction()->isEnabled());
}

void TestRecentFiles::clickingAnItem() {
    QMenu menu;
    MruManager mru(&menu);
    mru.add(QStringLiteral("/one.lut"));
    mru.add(QStringLiteral("/two.lut"));
    QSignalSpy spy(&mru, &MruManager::clicked);
    menu.actions().at(1)->trigger();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("/one.lut"));
}

void TestRecentFiles::ampersandInPath() {
    QMenu menu;
    MruManager mru(&menu);
    mru.add(QStringLiteral("/Tom & Jerry.lut"));
    QCOMPARE(menu.actions().at(0)->text(), QStringLiteral("&1\t/Tom && Jerry.lut"));
    QSignalSpy spy(&mru, &MruManager::clicked);
    menu.actions().at(0)->trigger();
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("/Tom & Jerry.lut"));
}

void TestRecentFiles::elevenLoadedFiles() {
    Session s;
    s.start(false);
    QStringList paths;
    for (int i = 0; i < 11; ++i) {
        paths << s.copyOf(QStringLiteral("v%1.lut").arg(i));
        s.load(paths.last());
    }
    QVERIFY(s.dialogs.messages.empty());
    const QStringList texts = menuTexts(s.form->Reload1);
    QCOMPARE(texts.size(), 10);
    QCOMPARE(texts.first(), QStringLiteral("&1\t") + paths.at(10));
    QCOMPARE(texts.last(), QStringLiteral("&A\t") + paths.at(1));
    QVERIFY(!s.form->MRUManager1->items().contains(paths.at(0)));
    QVERIFY(s.form->Reload1->menuAction()->isEnabled());
}

void TestRecentFiles::sameFileTwice() {
    Session s;
    s.start(false);
    QVERIFY(!s.form->Reload1->isEnabled());
    const QString a = s.copyOf(QStringLiteral("a.lut"));
    const QString b = s.copyOf(QStringLiteral("b.lut"));
    s.load(a);
    s.load(b);
    s.load(a);
    QCOMPARE(s.form->MRUManager1->items(), (QStringList{a, b}));
    // choosing the second item loads it, moves it to the top and makes it the file that
    // the next start reopens
    s.form->Reload1->actions().at(1)->trigger();
    QCOMPARE(s.form->MRUManager1->items(), (QStringList{b, a}));
    QCOMPARE(s.form->OpenDialog1.fileName, b);
    QCOMPARE(s.form->windowTitleText(), QStringLiteral("Lexanta Editor: ") + b);
}

void TestRecentFiles::deletedRecentFile() {
    Session s;
    s.start(false);
    const QString a = s.copyOf(QStringLiteral("a.lut"));
    const QString b = s.copyOf(QStringLiteral("b.lut"));
    s.load(a);
    s.load(b);
    QVERIFY(QFile::remove(a));
    const std::size_t dialogsBefore = s.dialogs.openDialogsShown.size();
    s.form->Reload1->actions().at(1)->trigger(); // a, now gone; the Load dialog is cancelled
    QCOMPARE(s.dialogs.messageTexts(), QStringList{QStringLiteral("File Not Found")});
    QCOMPARE(s.dialogs.messages.back().caption, QStringLiteral("Error"));
    QCOMPARE(s.dialogs.messages.back().icon, MsgIcon::None);
    QCOMPARE(s.dialogs.openDialogsShown.size(), dialogsBefore + 1);
    QCOMPARE(s.form->MRUManager1->items(), (QStringList{a, b}));
    QCOMPARE(s.form->OpenDialog1.fileName, a);
    QVERIFY(s.form->N4->isEnabled()); // a file had been loaded before
}

void TestRecentFiles::saveAsAddsThePath() {
    Session s;
    s.start(false);
    const QString a = s.copyOf(QStringLiteral("a.lut"));
    s.load(a);
    const QString saved = s.program.filePath(QStringLiteral("saved"));
    s.dialogs.fileAnswers.push_back({saved});
    QVERIFY(s.form->N3Click());
    QCOMPARE(s.form->MRUManager1->items(), (QStringList{saved + QStringLiteral(".lut"), a}));
    QCOMPARE(s.form->windowTitleText(), saved + QStringLiteral(".lut"));
    QCOMPARE(s.form->OpenDialog1.fileName, a);
    // a cancelled Save as adds nothing
    QVERIFY(!s.form->N3Click());
    QCOMPARE(s.form->MRUManager1->items().size(), 2);
}

void TestRecentFiles::saveAsThenRestartReopensTheLastOpened() {
    Session s;
    s.start();
    const QString opened = s.copyOf(QStringLiteral("opened.lut"));
    s.load(opened);
    const QString saved = s.program.filePath(QStringLiteral("saved.lut"));
    s.dialogs.fileAnswers.push_back({saved});
    QVERIFY(s.form->N3Click());
    s.quit();

    s.start();
    QVERIFY(s.dialogs.messages.empty());
    QCOMPARE(s.form->windowTitleText(), QStringLiteral("Lexanta Editor: ") + opened);
    QCOMPARE(s.form->RowCount(), 3);
    QVERIFY(s.form->N4->isEnabled());
    QCOMPARE(s.form->MRUManager1->items(), (QStringList{saved, opened}));
    QCOMPARE(menuTexts(s.form->Reload1).first(), QStringLiteral("&1\t") + saved);
    QVERIFY(s.form->Reload1->isEnabled());
    s.quit();
}

void TestRecentFiles::restartWithTheLastFileGone() {
    Session s;
    s.start();
    const QString opened = s.copyOf(QStringLiteral("gone.lut"));
    s.load(opened);
    s.quit();
    QVERIFY(QFile::remove(opened));

    const QString other = s.copyOf(QStringLiteral("other.lut"));
    s.dialogs = ScriptedDialogs{};
    FormServices services;
    services.dialogs = &s.dialogs;
    services.keyboardLayouts = &s.layouts;
    services.programFolder = s.program.path();
    services.configFolder = s.config.path();
    s.dialogs.fileAnswers.push_back({other}); // chosen in the Load dialog that follows
    s.form = std::make_unique<TForm1>(services);
    s.form->show();
    QCOMPARE(s.dialogs.messageTexts(), QStringList{QStringLiteral("File Not Found")});
    QCOMPARE(s.dialogs.openDialogsShown.size(), std::size_t(1));
    QCOMPARE(s.form->windowTitleText(), QStringLiteral("Lexanta Editor: ") + other);
    QCOMPARE(s.form->OpenDialog1.fileName, other);
    s.quit();
}

// A new user types entries, saves them and quits: nothing was ever opened, so the saved
// vocabulary is the one the next start reopens.
void TestRecentFiles::newVocabularySavedComesBack() {
    Session s;
    s.start();
    EntryTable& cells = s.form->cells();
    cells.setRowCount(3);
    cells.setCell(kQuestion, 1, "le chat");
    cells.setCell(kAnswer, 1, "cat");
    cells.setCell(kQuestion, 2, "la pomme");
    cells.setCell(kAnswer, 2, "apple");
    const QString saved = s.program.filePath(QStringLiteral("mine.lut"));
    s.dialogs.fileAnswers.push_back({saved});
    QVERIFY(s.form->N3Click());
    QVERIFY(s.form->OpenDialog1.fileName.isEmpty());
    s.quit();

    s.start();
    QVERIFY(s.dialogs.messages.empty());
    QCOMPARE(s.form->windowTitleText(), QStringLiteral("Lexanta Editor: ") + saved);
    QCOMPARE(s.form->RowCount(), 3);
    QCOMPARE(s.form->cells().cell(kAnswer, 2), std::string("apple"));
    s.quit();
}

QTEST_MAIN(TestRecentFiles)
#include "test_recent_files.moc"
