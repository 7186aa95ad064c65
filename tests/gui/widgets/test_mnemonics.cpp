// No two controls of one window share an Alt letter: with two, Alt+letter only moves the focus
// between them and the button is never pressed.
#include "gui/widgets/find_dialog.h"
#include "gui/widgets/replace_dialog.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMap>
#include <QTest>

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

    void findDialog() {
        FindDialog dialog;
        QCOMPARE(clashes(&dialog), QStringList());
    }
};

QTEST_MAIN(TestMnemonics)
#include "test_mnemonics.moc"
