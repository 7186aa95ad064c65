// No two controls of one window share an Alt letter: with two, Alt+letter only moves the focus
// between them and the button is never pressed.
#include "gui/widgets/find_dialog.h"
#include "gui/widgets/replace_dialog.h"
#include "support/mnemonics.h"
#include "support/window_fixture.h"

using namespace lexanta;
using lexanta::test::clashes;

class TestMnemonics : public QObject {
    Q_OBJECT

private slots:
    void replaceDialog_data() {
        QTest::addColumn<bool>("english");
        QTest::newRow("English") << true;
        QTest::newRow("Russian") << false;
    }
    void replaceDialog() {
        QFETCH(bool, english);
        ReplaceDialogState state;
        state.english = english;
        ReplaceDialog dialog;
        dialog.bind(state, [](ReplaceAction) {});
        QCOMPARE(clashes(&dialog), QStringList());
    }

    // The menus and every page's controls, in both languages.
    void mainWindow_data() { replaceDialog_data(); }
    void mainWindow() {
        QFETCH(bool, english);
        test::Window w(false);
        w.form->language().applyLanguage(english ? InterfaceLanguage::English
                                                 : InterfaceLanguage::Russian);
        QCOMPARE(clashes(w.form.get()), QStringList());
    }

    void findDialog() {
        FindDialog dialog;
        QCOMPARE(clashes(&dialog), QStringList());
    }
};

QTEST_MAIN(TestMnemonics)
#include "test_mnemonics.moc"
