#pragma once

// The Alt letters of a window's controls: no two may share one, or Alt+letter only moves the
// focus between them and the button is never pressed.

#include <QAbstractButton>
#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QMenuBar>
#include <QStringList>

namespace lexanta::test {

// The letter after a single '&', lower-cased; none without one.
inline QChar mnemonic(const QString& text) {
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
inline QStringList clashes(const QWidget* root) {
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

} // namespace lexanta::test
