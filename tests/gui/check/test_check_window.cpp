// Service > Check list... and Edit > Replace... in the window: the panel's findings by kind,
// a finding selects its cell, the panel follows edits, a fix and Replace All are one step each,
// and what a field's code page cannot hold is refused.
#include "support/window_fixture.h"

#include "core/check/list_check.h"
#include "gui/app/speed_bar.h"
#include "gui/check/check_commands.h"
#include "gui/check/check_panel.h"
#include "gui/check/findings_model.h"
#include "gui/listops/replace_commands.h"

#include <QToolButton>
#include <QTreeView>

using namespace lexanta;
using namespace lexanta::test;

namespace {

const QString kDuplicates = QStringLiteral(LEXANTA_TEST_DATA "/check/duplicates/input.lut");

FindingsModel& model(const Window& w) {
    return *w.form->checks().panel()->model();
}

// Lets the panel follow what the document did.
void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace

class TestCheckWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }

    void findingsSelectCellsAndFollowEdits() {
        Window w;
        w.load(kDuplicates);
        w.action("CheckList1")->trigger();
        QVERIFY(w.form->checks().panel()->isVisible());
        QCOMPARE(model(w).count(CheckKind::Duplicate), 3);
        QCOMPARE(model(w).count(CheckKind::DifferentAnswers), 1);
        QVERIFY(model(w)
                    .data(model(w).kindIndex(CheckKind::Duplicate))
                    .toString()
                    .endsWith(QLatin1String("(3)")));

        const QModelIndex different =
            model(w).index(0, 0, model(w).kindIndex(CheckKind::DifferentAnswers));
        w.form->checks().activate(different);
        QCOMPARE(w.grid()->currentEntry(), 6);
        QCOMPARE(w.grid()->currentField(), int(kQuestion));

        // "bird" takes the question of "cat" with another answer; its undo makes it unique again.
        w.doc().setText(1, kQuestion, "Cat.");
        settle();
        QCOMPARE(model(w).count(CheckKind::DifferentAnswers), 2);
        w.doc().undoStack()->undo();
        settle();
        QCOMPARE(model(w).count(CheckKind::DifferentAnswers), 1);
        // An entry inserted at the top moves every finding down by one.
        w.doc().insertEntry(0, Entry{});
        settle();
        QCOMPARE(
            model(w).finding(model(w).index(0, 0, model(w).kindIndex(CheckKind::Duplicate)))->entry,
            3);
    }

    void aFixIsOneStep() {
        Window w;
        w.load(kDuplicates);
        w.action("CheckList1")->trigger();
        const std::string before = w.doc().bytes();
        const int steps = w.doc().undoStack()->count();
        QTreeView* view = w.form->checks().panel()->view();
        view->setCurrentIndex(model(w).index(0, 0, model(w).kindIndex(CheckKind::Duplicate)));
        QCOMPARE(w.form->checks().currentFixes().size(), std::size_t(2));
        w.form->checks().panel()->fixButton()->click(); // joins "CAT" into "cat"
        QCOMPARE(w.doc().undoStack()->count(), steps + 1);
        QCOMPARE(w.cells().entryCount(), 7);
        settle();
        QCOMPARE(model(w).count(CheckKind::Duplicate), 2);
        w.doc().undoStack()->undo();
        QCOMPARE(w.doc().bytes(), before);
    }

    void replaceAllTakesCapturesAndUndoes() {
        Window w;
        w.load(kDuplicates);
        const QStringList questions = w.column(kQuestion);
        w.action("FindReplace1")->trigger();
        QCOMPARE(w.dialogs.replaceShown, 1);
        ReplaceDialogState& state = *w.dialogs.replaceState;
        state.findText = QStringLiteral("^the[\\s-]+(\\w+)(\\W*)$");
        state.replaceText = QStringLiteral("\\1, the\\2");
        state.regex = true;
        state.fields = {true, false, false};
        w.dialogs.pressReplace(ReplaceAction::ReplaceAll);
        QCOMPARE(w.dialogs.messageTexts().last(), QStringLiteral("3 replaced in 3 cells."));
        QCOMPARE(w.column(kQuestion).mid(4),
                 (QStringList{"dog, the", "cafe", "dog, the!", "dog, the"}));
        w.doc().undoStack()->undo();
        QCOMPARE(w.column(kQuestion), questions);
    }

    void replaceRefusesWhatAPageCannotHold() {
        Window w;
        w.load(kDuplicates);
        const std::string before = w.doc().bytes();
        w.action("FindReplace1")->trigger();
        w.dialogs.replaceState->findText = QStringLiteral("cat");
        w.dialogs.replaceState->replaceText = QStringLiteral("кот");
        w.dialogs.pressReplace(ReplaceAction::ReplaceAll);
        const QString message = w.dialogs.messageTexts().last();
        QVERIFY2(message.contains(QStringLiteral("“кот”")) && message.contains("entry 1"),
                 qPrintable(message));
        QCOMPARE(w.doc().bytes(), before);
        // Replace selects the next match first, then replaces in it.
        w.dialogs.replaceState->replaceText = QStringLiteral("cow");
        w.grid()->setCurrentCell(1, 2);
        w.dialogs.pressReplace(ReplaceAction::Replace);
        QCOMPARE(w.grid()->currentEntry(), 2);
        w.dialogs.pressReplace(ReplaceAction::Replace);
        QCOMPARE(w.column(kQuestion).at(2), QStringLiteral("cow"));
    }

    // The panel, made at the first check, is reached by Tab before the tool bar.
    void panelBeforeTheToolBar() {
        Window w;
        w.action("CheckList1")->trigger();
        const QWidget* again = w.form->checks().panel()->checkAgainButton();
        const QWidget* button = w.form->speedBar()->button(QStringLiteral("SpeedItem3"));
        const QWidget* reached = w.grid()->nextInFocusChain();
        while (reached != again && reached != button && reached != w.grid())
            reached = reached->nextInFocusChain();
        QCOMPARE(reached, again);
    }

    void captionsFollowTheLanguage() {
        Window w;
        w.action("RussianMenuItem")->trigger();
        QCOMPARE(w.action("CheckList1")->text(), QStringLiteral("Пр&оверить список..."));
        QCOMPARE(w.action("FindReplace1")->text(), QStringLiteral("За&менить..."));
        QCOMPARE(w.action("Replace1")->text(), QStringLiteral("&Заменить..."));
        QVERIFY(!w.action("Replace1")->isVisible()); // the stored item stays as it is
        QCOMPARE(w.form->checks().panel()->windowTitle(), QStringLiteral("Проверка списка"));
        w.action("FindReplace1")->trigger();
        QVERIFY(!w.dialogs.replaceState->english);
        w.action("English1")->trigger();
        QCOMPARE(w.action("CheckList1")->text(), QStringLiteral("&Check list..."));
    }
};

QTEST_MAIN(TestCheckWindow)
#include "test_check_window.moc"
