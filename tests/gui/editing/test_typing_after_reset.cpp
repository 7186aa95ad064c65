// A teacher starts the editor, gets a vocabulary by one of the paths that replace the document
// and types a new entry into the input line: it is added, and the entries already there stay
// whole. Run offscreen, and again on Xvfb under openbox when LEXANTA_WINDOW_MANAGER is set.
#include "core/vocab/lut_format.h"
#include "support/window_fixture.h"

#include "support/xvfb_server.h" // X11's macros come after every Qt header

using namespace lexanta;
using TestWindow = lexanta::test::Window; // X11 names a type Window

namespace {

QStringList savedRows(const QString& path) {
    Vocabulary v;
    readVocabulary(TestWindow::read(path).toStdString(), v);
    QStringList rows;
    for (int i = 0; i < v.entries.entryCount(); ++i) {
        QStringList fields;
        for (int f = 0; f < kShownFields; ++f)
            fields << QString::fromUtf8(v.entries.text(i, f));
        rows << fields.join(QLatin1Char('|'));
    }
    return rows;
}

} // namespace

class TestTypingAfterReset : public QObject {
    Q_OBJECT

public:
    TestTypingAfterReset(QString missing, QString startError)
        : missing_(std::move(missing)), startError_(std::move(startError)) {}

private slots:
    void initTestCase() {
        if (!missing_.isEmpty())
            QSKIP(qPrintable(missing_));
        QVERIFY2(startError_.isEmpty(), qPrintable(startError_));
        if (!qEnvironmentVariableIsEmpty("LEXANTA_WINDOW_MANAGER"))
            QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    }

    // From a cell other than the first, the reset's move to it selects it: Edit Words, and
    // the boxes show the entry now in the first row.
    void resetFromAnotherCell() {
        TestWindow w;
        w.load(test::kAnimals);
        w.clickCell(2, 2);
        w.load(test::kRussian);
        QCOMPARE(QPoint(w.grid()->column(), w.grid()->row()), QPoint(1, 1));
        QVERIFY(w.button("SpeedItem1")->isChecked());
        QCOMPARE(w.boxTexts().first(), QString::fromUtf8(w.cells().text(0, kQuestion)));
    }

    void typedEntryIsAdded_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("before"); // the document's rows the entry joins
        const QStringList animals{"cat|Katze|kat", "dog|Hund|"};
        QTest::newRow("New") << "new" << QStringList{"||"};
        QTest::newRow("Load") << "load" << animals;
        QTest::newRow("recent file") << "recent" << animals;
        QTest::newRow("file on the command line") << "command line" << animals;
        QTest::newRow("last file reopened at start") << "reopen" << animals;
        QTest::newRow("Import") << "import" << QStringList{"one|eins|", "two|zwei|"};
    }
    void typedEntryIsAdded() {
        QFETCH(QString, path);
        QFETCH(QStringList, before);
        QTemporaryDir files;
        const QString file = files.filePath(QStringLiteral("animals.lut"));
        QVERIFY(QFile::copy(test::kAnimals, file));
        test::WindowOptions options;
        if (path == QLatin1String("command line")) {
            options.restore = true;
            options.fileToOpen = file;
        } else if (path == QLatin1String("reopen")) {
            // the last file chosen for opening, as editor.ini keeps it
            QFile ini(files.filePath(QStringLiteral("editor.ini")));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write("[TForm1]\r\nOpenDialog1_FileName=" + file.toUtf8() + "\r\n");
            ini.close();
            options.restore = true;
            options.programFolder = files.path();
        }
        TestWindow w(options);
        MainWindow& f = *w.form;
        if (path == QLatin1String("new")) {
            w.load(file);
            TestWindow::key(Qt::Key_N, Qt::ControlModifier);
        } else if (path == QLatin1String("load")) {
            w.dialogs.fileAnswers.push_back({file});
            TestWindow::key(Qt::Key_O, Qt::ControlModifier);
        } else if (path == QLatin1String("recent")) {
            f.files().recentFiles().add(file);
            f.files().recentMenu()->actions().first()->trigger();
        } else if (path == QLatin1String("import")) {
            w.dialogs.fileAnswers.push_back(
                {w.write(QStringLiteral("list.txt"), "one\teins\ntwo\tzwei\n"), 2});
            w.action("Import1")->trigger();
        }
        QCOMPARE(w.doc().entries().entryCount(), static_cast<int>(before.size()));
        // Nothing moved the cell: the mode stays Add Words, the boxes empty.
        QVERIFY(w.button("SpeedItem2")->isChecked());
        QCOMPARE(f.editor().isEditMode(), false);
        QCOMPARE(w.boxTexts(), QStringList(3, QString()));

        w.clickBox(0);
        for (const char* typed : {"mouse|Maus", "house|Haus"}) {
            TestWindow::type(QString::fromLatin1(typed).section(QLatin1Char('|'), 0, 0));
            TestWindow::key(Qt::Key_Tab);
            TestWindow::type(QString::fromLatin1(typed).section(QLatin1Char('|'), 1, 1));
            TestWindow::key(Qt::Key_Return);
        }
        const QString saved = w.path(QStringLiteral("saved.lut"));
        w.dialogs.fileAnswers.push_back({saved});
        w.action("N3")->trigger();
        QStringList expected = before;
        expected.prepend(QStringLiteral("mouse|Maus|"));
        expected.prepend(QStringLiteral("house|Haus|")); // each lands above the one before
        if (path == QLatin1String("new"))
            expected.removeLast(); // the writer drops a trailing blank entry
        QCOMPARE(savedRows(saved), expected);
    }

private:
    QString missing_, startError_;
};

int main(int argc, char** argv) {
    test::XvfbServer x;
    QString missing, startError;
    const bool underWindowManager = !qEnvironmentVariableIsEmpty("LEXANTA_WINDOW_MANAGER");
    if (underWindowManager) {
        missing = test::XvfbServer::missingTools();
        if (missing.isEmpty() && (startError = x.start()).isEmpty())
            startError = x.startWindowManager();
        if (missing.isEmpty() && startError.isEmpty()) {
            qputenv("QT_QPA_PLATFORM", "xcb");
            qputenv("DISPLAY", x.display().toLatin1());
        } else {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
    }
    QApplication app(argc, argv);
    TestTypingAfterReset test(missing, startError);
    return QTest::qExec(&test, argc, argv);
}

#include "test_typing_after_reset.moc"
