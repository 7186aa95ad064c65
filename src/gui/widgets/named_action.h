#pragma once

#include <QAction>
#include <QKeySequence>

namespace lexanta {

// A command's action under its design name, which the settings and the text tables key on.
inline QAction* namedAction(QObject* parent, const char* name, const QString& text,
                            const QKeySequence& shortcut = {}) {
    auto* a = new QAction(text, parent);
    a->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    return a;
}

} // namespace lexanta
