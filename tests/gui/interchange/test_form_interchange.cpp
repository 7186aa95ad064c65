// Import, Special Import and Export in the window, through scripted dialogs: the document
// state around them, and the failure paths that must leave the document as it was.
#include "support/window_fixture.h"

using namespace lexanta;
using namespace lexanta::test;

class TestFormInterchange : public QObject {
    Q_OBJECT

private slots:
    void importReplacesTheDocument() {
        Window w(false);
        w.load(kAnimals);
        const QString txt = w.write("words.txt", "  one\ttwo\tthree \r\nfour\tfive\n");
        w.dialogs.fileAnswers.push_back({txt, 3});
        w.form->interchange().importText();
        QCOMPARE(w.column(kQuestion), (QStringList{"one", "four"}));
        QCOMPARE(w.column(kComment), (QStringList{"three", ""}));
        QCOMPARE(w.rowCount(), 3);
        QVERIFY(!w.action("N4")->isEnabled() && w.action("Merge1")->isEnabled());
        QCOMPARE(w.form->windowTitleText() + w.edit("Edit2")->text(),
                 QStringLiteral("Lexanta Editor"));
        QCOMPARE(w.form->files().openDialog().fileName, kAnimals); // the reopened file is untouched
    }

    void importFailuresKeepTheDocument_data() {
        QTest::addColumn<bool>("exists");
        QTest::newRow("file cannot be opened") << false;
        QTest::newRow("characters the columns cannot hold") << true;
    }
    void importFailuresKeepTheDocument() {
        QFETCH(bool, exists);
        Window w(false);
        w.load(kAnimals);
        w.setFontCharset(kAnswer, 0); // Western: no Cyrillic
        const QString path = exists ? w.write("ru.txt", QStringLiteral("cat\tкошка\n").toUtf8())
                                    : w.path("none.txt");
        w.dialogs.fileAnswers.push_back({path, 2});
        w.form->interchange().importText();
        QCOMPARE(w.dialogs.messages.size(), std::size_t(1));
        QVERIFY(w.dialogs.messages.front().text.contains(
            QString::fromLatin1(exists ? "ru.txt" : "none.txt")));
        QCOMPARE(w.column(kQuestion), (QStringList{"cat", "dog"}));
        QVERIFY(w.action("N4")->isEnabled());
        QCOMPARE(w.form->windowTitleText(), QStringLiteral("Lexanta Editor: ") + kAnimals);
    }

    void importUtf8IntoCyrillicColumn() {
        Window w(false);
        w.setFontCharset(kAnswer, 204);
        const QString txt = w.write("ru.txt", QStringLiteral("cat\tкошка\ndog\tсобака\n").toUtf8());
        w.dialogs.fileAnswers.push_back({txt, 2});
        w.form->interchange().importText();
        QVERIFY(w.dialogs.messages.empty());
        QCOMPARE(QByteArrayView(w.cells().text(0, kAnswer)).toByteArray(),
                 QByteArray("\xea\xee\xf8\xea\xe0"));
    }

    void specialImportFillsGapsOnly() {
        Window w(false);
        const QString own = w.write(
            "own.lut",
            "Vocabulary Format 1\r\n\r\n\r\n\r\n\r\n\r\n00000409\r\n00000409\r\n00000409\r\n10\r\n"
            "Arial\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\nArial\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n"
            "Arial\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n0\r\n"
            "CAT\r\n\r\n\r\n0\r\n0\r\ndog\r\nmine\r\nmein\r\n0\r\n0\r\n\r\n\r\n\r\n0\r\n0");
        w.load(own);
        const int rows = w.rowCount();
        w.dialogs.fileAnswers.push_back({kAnimals});
        w.form->interchange().specialImport();
        QCOMPARE(w.column(kAnswer), (QStringList{"Katze", "mein", ""}));
        QCOMPARE(w.column(kComment), (QStringList{"kat", "mine", ""}));
        QCOMPARE(w.rowCount(), rows);
        QCOMPARE(w.form->files().openDialog().fileName, kAnimals);
        QCOMPARE(w.form->windowTitleText(), QStringLiteral("Lexanta Editor: ") + own);
    }

    void exportBothFormats() {
        Window w(false);
        w.load(kAnimals);
        const QString tab = w.path("out.txt");
        w.dialogs.fileAnswers.push_back({tab, 1});
        w.form->interchange().exportList();
        QCOMPARE(Window::read(tab), QByteArray("cat\tKatze\tkat\r\ndog\tHund\t"));
        const QString html = w.path("out.html");
        w.dialogs.fileAnswers.push_back({html, 2});
        w.form->interchange().exportList();
        const QByteArray page = Window::read(html);
        QVERIFY(page.contains("<title>Animals</title>"));
        QVERIFY(page.contains("<td class=\"f1\">dog</td>")); // the last entry is kept
        QVERIFY(page.contains("charset=utf-8"));
        // nothing about the document changed
        QVERIFY(w.action("N4")->isEnabled());
        QCOMPARE(w.doc().fileName(), kAnimals);
    }

    void exportFailureIsReported() {
        Window w(false);
        const QString bad = w.path("no/such/folder/out.txt");
        w.dialogs.fileAnswers.push_back({bad, 1});
        w.form->interchange().exportList();
        QCOMPARE(w.dialogs.messages.size(), std::size_t(1));
        QVERIFY(w.dialogs.messages.front().text.contains(QStringLiteral("out.txt")));
        QVERIFY(!QFile::exists(bad));
    }
};

QTEST_MAIN(TestFormInterchange)
#include "test_form_interchange.moc"
