// Esc or the Cancel button during a whole-list command stops it and leaves the document and its
// undo steps as they were; other keys meanwhile are dropped and the command ends normally.
#include "document/document.h"
#include "gui/widgets/progress_feedback.h"
#include "platform/collation.h"

#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace lexanta;

class TestProgressCancel : public QObject {
    Q_OBJECT

private slots:
    void escStopsTheCommand_data() {
        QTest::addColumn<bool>("sort");     // else the frequency analysis
        QTest::addColumn<int>("key");       // 0: the Cancel button is clicked
        QTest::addColumn<bool>("keysOnly"); // the sort reports only while it makes the keys
        QTest::addColumn<bool>("stopped");
        QTest::newRow("sort, Esc") << true << int(Qt::Key_Escape) << false << true;
        QTest::newRow("sort, Esc while keys are made")
            << true << int(Qt::Key_Escape) << true << true;
        QTest::newRow("sort, Cancel while keys are made") << true << 0 << true << true;
        QTest::newRow("frequency, Esc") << false << int(Qt::Key_Escape) << false << true;
        QTest::newRow("frequency, Cancel") << false << 0 << false << true;
        QTest::newRow("sort, another key") << true << int(Qt::Key_A) << false << false;
        QTest::newRow("frequency, another key") << false << int(Qt::Key_A) << false << false;
    }
    void escStopsTheCommand() {
        QFETCH(bool, sort);
        QFETCH(int, key);
        QFETCH(bool, keysOnly);
        QFETCH(bool, stopped);
        Document d;
        for (const char* word : {"pear", "apple", "pear", "fig", "apple"})
            d.insertEntry(0, Entry{{word, "x", "", "", ""}});
        const std::string before = d.bytes();
        const int steps = d.undoStack()->count();
        QWidget panel;
        auto* bar = new QProgressBar(&panel);
        bar->setGeometry(0, 0, 300, 13);
        auto* cancel = new QPushButton(QStringLiteral("Cancel"), &panel);
        cancel->hide();
        ProgressFeedback::setCancelButton(bar, cancel);
        panel.show();
        bool buttonShown = false;
        QTimer::singleShot(0, &panel, [&] {
            buttonShown = cancel->isVisible() && !bar->geometry().intersects(cancel->geometry());
            if (key == 0)
                QTest::mouseClick(cancel, Qt::LeftButton);
        });
        if (key != 0)
            QCoreApplication::postEvent(bar, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
        const KeyCollator collator(QStringLiteral("en_US"));
        bool cancelled = false;
        {
            ProgressFeedback feedback(bar, 0, true);
            try {
                if (sort)
                    d.sortBy(kQuestion, collator, [&](long long calls) {
                        if (!keysOnly || calls == 0)
                            feedback.report(calls, 10);
                    });
                else
                    d.frequencyAnalysis(collator, feedback.callback());
            } catch (const OperationCancelled&) {
                cancelled = true;
            }
        }
        QVERIFY(buttonShown);
        QCOMPARE(cancelled, stopped);
        QCOMPARE(d.bytes() == before, stopped);
        QCOMPARE(d.undoStack()->count(), steps + (stopped ? 0 : 1));
        QVERIFY(cancel->isHidden()); // and the bar has its place again
        QCOMPARE(bar->geometry(), QRect(0, 0, 300, 13));
    }
};

QTEST_MAIN(TestProgressCancel)
#include "test_progress_cancel.moc"
