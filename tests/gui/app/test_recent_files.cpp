// The recent-file list: its captions, order and limits, its submenu, the commands that
// add to it, and the last file reopened at the next start.
#include "gui/vocab/recent_files.h"
#include "support/window_fixture.h"

#include <QSignalSpy>

using namespace lexanta;
using namespace lexanta::test;

namespace {

const QString kTitleOf = QStringLiteral("Lexanta Editor: ");

QStringList menuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* a : menu->actions())
        texts << a->text();
    return texts;
}

} // namespace

class TestRecentFiles : public QObject {
    Q_OBJECT

private slots:
    void listOrder_data() {
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("newest first")
            << QStringList{"/a", "/b", "/c"} << QStringList{"/c", "/b", "/a"};
        QTest::newRow("again moves to top")
            << QStringList{"/a", "/b", "/c", "/a"} << QStringList{"/a", "/c", "/b"};
        QTest::newRow("letter case ignored, new spelling kept")
            << QStringList{"/x/Cat.lut", "/y", "/x/cat.LUT"} << QStringList{"/x/cat.LUT", "/y"};
        QTest::newRow("empty path ignored") << QStringList{"/a", ""} << QStringList{"/a"};
    }
    void listOrder() {
        QFETCH(QStringList, added);
        QFETCH(QStringList, expected);
        QMenu menu;
        RecentFiles mru(&menu);
        for (const QString& p : added)
            mru.add(p);
        QCOMPARE(mru.items(), expected);
        QCOMPARE(menu.actions().size(), expected.size());
        // setItems (the restore) keeps the stored order, with the same rules
        RecentFiles restored(nullptr);
        QStringList stored = added;
        std::reverse(stored.begin(), stored.end());
        restored.setItems(stored);
        QCOMPARE(restored.items(), expected);
    }

    void clickingAnItemGivesItsPath() {
        QMenu menu;
        RecentFiles mru(&menu);
        mru.add(QStringLiteral("/one.lut"));
        mru.add(QStringLiteral("/Tom & Jerry.lut"));
        QCOMPARE(menu.actions().at(0)->text(), QStringLiteral("&1\t/Tom && Jerry.lut"));
        QSignalSpy spy(&mru, &RecentFiles::clicked);
        menu.actions().at(1)->trigger();
        menu.actions().at(0)->trigger();
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("/one.lut"));
        QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("/Tom & Jerry.lut"));
    }

    void elevenLoadedFiles() {
        Window w;
        QVERIFY(!w.menu("Reload1")->menuAction()->isEnabled());
        QStringList paths;
        for (int i = 0; i < 11; ++i) {
            paths << w.copy(kAnimals, QStringLiteral("v%1.lut").arg(i));
            w.load(paths.last());
        }
        QVERIFY(w.dialogs.messages.empty());
        const QStringList texts = menuTexts(w.menu("Reload1"));
        QCOMPARE(texts.size(), 10);
        QCOMPARE(texts.first(), QStringLiteral("&1\t") + paths.at(10));
        QCOMPARE(texts.at(8), QStringLiteral("&9\t") + paths.at(2));
        QCOMPARE(texts.last(), QStringLiteral("&A\t") + paths.at(1));
        QVERIFY(w.menu("Reload1")->menuAction()->isEnabled());
        w.form->files().recentFiles().clear();
        QVERIFY(w.menu("Reload1")->actions().isEmpty());
        QVERIFY(!w.menu("Reload1")->menuAction()->isEnabled());
    }

    void sameFileTwice() {
        Window w;
        const QString a = w.copy(kAnimals, "a.lut");
        const QString b = w.copy(kAnimals, "b.lut");
        w.load(a);
        w.load(b);
        w.load(a);
        QCOMPARE(w.form->files().recentFiles().items(), (QStringList{a, b}));
        // choosing the second item loads it, moves it to the top and makes it the file that
        // the next start reopens
        w.menu("Reload1")->actions().at(1)->trigger();
        QCOMPARE(w.form->files().recentFiles().items(), (QStringList{b, a}));
        QCOMPARE(w.form->files().openDialog().fileName, b);
        QCOMPARE(w.form->windowTitleText(), kTitleOf + b);
    }

    void deletedRecentFile() {
        Window w;
        const QString a = w.copy(kAnimals, "a.lut");
        w.load(a);
        w.load(w.copy(kAnimals, "b.lut"));
        QVERIFY(QFile::remove(a));
        w.menu("Reload1")->actions().at(1)->trigger(); // a, now gone; the Load dialog is cancelled
        QCOMPARE(w.dialogs.messageTexts(), QStringList{"File Not Found\n" + a});
        QCOMPARE(w.dialogs.messages.back().caption, QStringLiteral("Error"));
        QCOMPARE(w.dialogs.openDialogsShown.size(), std::size_t(3));
        QCOMPARE(w.form->files().recentFiles().items().first(), a);
        QCOMPARE(w.form->files().openDialog().fileName, QString()); // not reopened at start
        QVERIFY(w.action("N4")->isEnabled());                       // a file had been loaded before
    }

    void saveAsAddsThePath() {
        Window w;
        const QString a = w.copy(kAnimals, "a.lut");
        w.load(a);
        w.dialogs.fileAnswers.push_back({w.path("saved")});
        QVERIFY(w.form->files().saveAs());
        QCOMPARE(w.form->files().recentFiles().items(), (QStringList{w.path("saved.lut"), a}));
        QCOMPARE(w.form->files().openDialog().fileName, a);
        QVERIFY(!w.form->files().saveAs()); // cancelled: adds nothing
        QCOMPARE(w.form->files().recentFiles().items().size(), 2);
    }

    void restartReopensTheLastOpened() {
        Window w(WindowOptions::withSettings());
        const QString opened = w.copy(kAnimals, "opened.lut");
        w.load(opened);
        const QString saved = w.path("saved.lut");
        w.dialogs.fileAnswers.push_back({saved});
        QVERIFY(w.form->files().saveAs());
        w.restart();
        QVERIFY(w.dialogs.messages.empty());
        QCOMPARE(w.form->windowTitleText(), kTitleOf + opened);
        QCOMPARE(w.rowCount(), 3);
        QVERIFY(w.action("N4")->isEnabled());
        QCOMPARE(w.form->files().recentFiles().items(), (QStringList{saved, opened}));
        QCOMPARE(menuTexts(w.menu("Reload1")).first(), QStringLiteral("&1\t") + saved);
        // the last file gone: File Not Found, then the Load dialog
        w.quit();
        QVERIFY(QFile::remove(opened));
        w.dialogs = ScriptedDialogs{};
        w.dialogs.fileAnswers.push_back({saved});
        w.start();
        QCOMPARE(w.dialogs.messageTexts(), QStringList{"File Not Found\n" + opened});
        QCOMPARE(w.dialogs.openDialogsShown.size(), std::size_t(1));
        QCOMPARE(w.form->windowTitleText(), kTitleOf + saved);
        QCOMPARE(w.form->files().openDialog().fileName, saved);
    }

    // A new user types entries, saves them with Save as and quits: nothing was chosen for
    // opening (Save as leaves OpenDialog1's name alone), so the next start opens nothing.
    void newVocabularySavedIsNotReopened() {
        Window w(WindowOptions::withSettings());
        w.setRows({"le chat|cat", "la pomme|apple"});
        const QString saved = w.path("mine.lut");
        w.dialogs.fileAnswers.push_back({saved});
        QVERIFY(w.form->files().saveAs());
        QVERIFY(w.form->files().openDialog().fileName.isEmpty());
        w.restart();
        QVERIFY(w.dialogs.messages.empty());
        QCOMPARE(w.form->windowTitleText(), QStringLiteral("Lexanta Editor"));
        QCOMPARE(w.rows(), QStringList{"||||"});
    }
};

QTEST_MAIN(TestRecentFiles)
#include "test_recent_files.moc"
