// Another program changed the open file: the window says so once, and Save asks before
// writing over it (Overwrite, Save As…, Cancel).
#include "support/window_fixture.h"

#include <QStatusBar>

using namespace lexanta;
using namespace lexanta::test;

class TestFileChanged : public QObject {
    Q_OBJECT

private slots:
    void saveAsksFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("overwritten");
        QTest::addColumn<bool>("savedElsewhere");
        QTest::newRow("Overwrite") << 0 << true << false;
        QTest::newRow("Save As") << 1 << false << true;
        QTest::newRow("Cancel") << 2 << false << false;
    }
    void saveAsksFirst() {
        QFETCH(int, answer);
        QFETCH(bool, overwritten);
        QFETCH(bool, savedElsewhere);
        Window w;
        const QString file = w.copy(kAnimals, QStringLiteral("animals.lut"));
        const QString elsewhere = w.path(QStringLiteral("elsewhere.lut"));
        w.load(file);
        QVERIFY(w.doc().setText(0, kQuestion, "ours"));

        const QByteArray theirs = Window::read(kAnimals).replace("Animals", "Theirs!");
        w.write(QStringLiteral("animals.lut"), theirs);
        const QString notice = QStringLiteral("The file was changed by another program");
        QTRY_VERIFY(w.form->statusBar()->currentMessage().startsWith(notice));
        // Told once: a second change says nothing more.
        w.form->statusBar()->clearMessage();
        w.write(QStringLiteral("animals.lut"), theirs + "\r\n");
        QTest::qWait(300);
        QVERIFY(w.form->statusBar()->currentMessage().isEmpty());

        w.dialogs.choiceAnswers.push_back(answer);
        w.dialogs.fileAnswers.push_back({elsewhere});
        const bool saved = w.form->files().save();
        QCOMPARE(w.dialogs.choices.size(), std::size_t(1));
        QCOMPARE(w.dialogs.choices.front().text,
                 QStringLiteral("The file was changed by another program since it was opened. "
                                "Overwrite it?"));
        QCOMPARE(saved, overwritten || savedElsewhere);
        QCOMPARE(Window::read(file).startsWith(theirs), !overwritten);
        QCOMPARE(QFile::exists(elsewhere), savedElsewhere);
        QCOMPARE(w.doc().isModified(), !saved);
        // Saved, the file is ours again: the next save does not ask.
        if (overwritten) {
            QVERIFY(w.doc().setText(0, kQuestion, "again"));
            QVERIFY(w.form->files().save());
            QCOMPARE(w.dialogs.choices.size(), std::size_t(1));
        }
    }
};

QTEST_MAIN(TestFileChanged)
#include "test_file_changed.moc"
