// No two controls of one window share an Alt letter: with two, Alt+letter only moves the focus
// between them and the button is never pressed.
#include "gui/widgets/find_dialog.h"
#include "gui/widgets/replace_dialog.h"
#include "support/window_fixture.h"

#include <QAbstractButton>
#include <QMap>
#include <QMenuBar>

using namespace lexanta;

namespace {

// The letter after a single '&', lower-cased; none without one.
QChar mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return text[i + 1].toLower();
        ++i;
    }
    return {};
}

// "a: &Answers, Replace &All" for every letter that more than one control of `root` claims.
QStringList clashes(const QWidget* root) {
    QMap<QChar, QStringList> owners;
    const auto claim = [&owners](const QString& text) {
        if (const QChar letter = mnemonic(text); !letter.isNull())
            owners[letter] << text;
    };
    for (const QAbstractButton* b : root->findChildren<QAbstractButton*>())
        if (b->isVisibleTo(root))
            claim(b->text());
    for (const QLabel* l : root->findChildren<QLabel*>())
        if (l->buddy() && l->isVisibleTo(root))
            claim(l->text());
    if (const auto* window = qobject_cast<const QMainWindow*>(root))
        for (const QAction* menu : window->menuBar()->actions())
            claim(menu->text());
    QStringList found;
    for (auto it = owners.cbegin(); it != owners.cend(); ++it)
        if (it->size() > 1)
            found << QStringLiteral("%1: %2").arg(it.key(), it->join(QStringLiteral(", ")));
    return found;
}

} // namespace

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
