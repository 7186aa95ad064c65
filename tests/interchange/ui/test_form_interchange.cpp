// Import, Special Import and Export in the window, through scripted dialogs: the document
// state around them, and the failure paths that must leave the document as it was.
#include "app/tform1.h"
#include "editing/ui/entry_grid.h"
#include "platform/keyboard_layouts.h"
#include "support/scripted_dialogs.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace lexanta;
using lexanta::test::ScriptedDialogs;

namespace {

const QString kAnimals = QStringLiteral(LEXANTA_TEST_DATA "/animals.lut");

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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
    QString write(const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    void load(const QString& path) {
        dialogs.fileAnswers.push_back({path});
        form->N2Click();
    }
    QStringList column(int c) const {
        QStringList out;
        for (int r = 1; r < form->RowCount(); ++r)
            out << QString::fromStdString(form->cells().cell(c, r));
        return out;
    }
};

} // namespace

class TestFormInterchange : public QObject {
    Q_OBJECT

private slots:
    void importReplacesTheDocument() {
        Fixture f;
        f.load(kAnimals);
        const QString txt = f.write("words.txt", "  one\ttwo\tthree \r\nfour\tfive\n");
        f.dialogs.fileAnswers.push_back({txt, 3});
        f.form->Import1Click();
        QCOMPARE(f.column(kQuestion), (QStringList{"one", "four"}));
        QCOMPARE(f.column(kComment), (QStringList{"three", ""}));
        QCOMPARE(f.form->RowCount(), 3);
        QVERIFY(!f.form->N4->isEnabled());
        QVERIFY(f.form->Merge1->isEnabled());
        QCOMPARE(f.form->windowTitleText(), QStringLiteral("Lexanta Editor"));
        QCOMPARE(f.form->Edit2->text(), QString());
        QCOMPARE(f.form->OpenDialog1.fileName, kAnimals); // the reopened file is untouched
    }

    void importFailuresKeepTheDocument_data() {
        QTest::addColumn<bool>("exists");
        QTest::newRow("file cannot be opened") << false;
        QTest::newRow("characters the columns cannot hold") << true;
    }
    void importFailuresKeepTheDocument() {
        QFETCH(bool, exists);
        Fixture f;
        f.load(kAnimals);
        f.form->doc.header.fonts[1].charset = 0; // Western: no Cyrillic
        const QString path = exists ? f.write("ru.txt", QStringLiteral("cat\tкошка\n").toUtf8())
                                    : f.dir.filePath(QStringLiteral("none.txt"));
        f.dialogs.fileAnswers.push_back({path, 2});
        f.form->Import1Click();
        QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
        QVERIFY(f.dialogs.messages.front().text.contains(
            QString::fromLatin1(exists ? "ru.txt" : "none.txt")));
        QCOMPARE(f.column(kQuestion), (QStringList{"cat", "dog"}));
        QVERIFY(f.form->N4->isEnabled());
        QCOMPARE(f.form->windowTitleText(), QStringLiteral("Lexanta Editor: ") + kAnimals);
    }

    void importUtf8IntoCyrillicColumn() {
        Fixture f;
        f.form->doc.header.fonts[1].charset = 204;
        const QString txt = f.write("ru.txt", QStringLiteral("cat\tкошка\ndog\tсобака\n").toUtf8());
        f.dialogs.fileAnswers.push_back({txt, 2});
        f.form->Import1Click();
        QVERIFY(f.dialogs.messages.empty());
        QCOMPARE(QByteArray::fromStdString(f.form->cells().cell(kAnswer, 1)),
                 QByteArray("\xea\xee\xf8\xea\xe0"));
    }

    void specialImportFillsGapsOnly() {
        Fixture f;
        const QString own = f.write(
            "own.lut",
            "Vocabulary Format 1\r\n\r\n\r\n\r\n\r\n\r\n00000409\r\n00000409\r\n00000409\r\n10\r\n"
            "Arial\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\nArial\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n"
            "Arial\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n0\r\n"
            "CAT\r\n\r\n\r\n0\r\n0\r\ndog\r\nmine\r\nmein\r\n0\r\n0\r\n\r\n\r\n\r\n0\r\n0");
        f.load(own);
        const int rows = f.form->RowCount();
        f.dialogs.fileAnswers.push_back({kAnimals});
        f.form->SpecialImport1Click();
        QCOMPARE(f.column(kAnswer), (QStringList{"Katze", "mein", ""}));
        QCOMPARE(f.column(kComment), (QStringList{"kat", "mine", ""}));
        QCOMPARE(f.form->RowCount(), rows);
        QCOMPARE(f.form->OpenDialog1.fileName, kAnimals);
        QCOMPARE(f.form->windowTitleText(), QStringLiteral("Lexanta Editor: ") + own);
    }

    void exportBothFormats() {
        Fixture f;
        f.load(kAnimals);
        const QString tab = f.dir.filePath(QStringLiteral("out.txt"));
        f.dialogs.fileAnswers.push_back({tab, 1});
        f.form->Export1Click();
        QCOMPARE(fileBytes(tab), QByteArray("cat\tKatze\tkat\r\ndog\tHund\t"));
        const QString html = f.dir.filePath(QStringLiteral("out.html"));
        f.dialogs.fileAnswers.push_back({html, 2});
        f.form->Export1Click();
        const QByteArray page = fileBytes(html);
        QVERIFY(page.contains("<title>Animals</title>"));
        QVERIFY(page.contains("<td class=\"f1\">dog</td>")); // the last entry is kept
        QVERIFY(page.contains("charset=utf-8"));
        // nothing about the document changed
        QVERIFY(f.form->N4->isEnabled());
        QCOMPARE(f.form->SaveDialog1.fileName, kAnimals);
    }

    void exportFailureIsReported() {
        Fixture f;
        const QString bad = f.dir.filePath(QStringLiteral("no/such/folder/out.txt"));
        f.dialogs.fileAnswers.push_back({bad, 1});
        f.form->Export1Click();
        QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
        QVERIFY(f.dialogs.messages.front().text.contains(QStringLiteral("out.txt")));
        QVERIFY(!QFile::exists(bad));
    }
};

QTEST_MAIN(TestFormInterchange)
#include "test_form_interchange.moc"
