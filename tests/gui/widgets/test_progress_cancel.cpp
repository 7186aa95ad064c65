// Esc during a whole-list command stops it and leaves the document and its undo steps as they
// were; other keys meanwhile are dropped and the command ends normally.
#include "document/document.h"
#include "gui/widgets/progress_feedback.h"
#include "platform/collation.h"

#include <QKeyEvent>
#include <QProgressBar>
#include <QTest>
#include <QUndoStack>

using namespace lexanta;

class TestProgressCancel : public QObject {
    Q_OBJECT

private slots:
    void escStopsTheCommand_data() {
        QTest::addColumn<bool>("sort"); // else the frequency analysis
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("stopped");
        QTest::newRow("sort, Esc") << true << int(Qt::Key_Escape) << true;
        QTest::newRow("frequency, Esc") << false << int(Qt::Key_Escape) << true;
        QTest::newRow("sort, another key") << true << int(Qt::Key_A) << false;
        QTest::newRow("frequency, another key") << false << int(Qt::Key_A) << false;
    }
    void escStopsTheCommand() {
        QFETCH(bool, sort);
        QFETCH(int, key);
        QFETCH(bool, stopped);
        Document d;
        for (const char* word : {"pear", "apple", "pear", "fig", "apple"})
            d.insertEntry(0, Entry{{word, "x", "", "", ""}});
        const std::string before = d.bytes();
        const int steps = d.undoStack()->count();
        QProgressBar bar;
        ProgressFeedback feedback(&bar, 0, true);
        QCoreApplication::postEvent(&bar, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
        const KeyCollator collator(QStringLiteral("en_US"));
        bool cancelled = false;
        try {
            if (sort)
                d.sortBy(kQuestion, collator, [&](long long calls) { feedback.report(calls, 10); });
            else
                d.frequencyAnalysis(collator, feedback.callback());
        } catch (const OperationCancelled&) {
            cancelled = true;
        }
        QCOMPARE(cancelled, stopped);
        QCOMPARE(d.bytes() == before, stopped);
        QCOMPARE(d.undoStack()->count(), steps + (stopped ? 0 : 1));
    }
};

QTEST_MAIN(TestProgressCancel)
#include "test_progress_cancel.moc"
