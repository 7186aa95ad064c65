#pragma once

// Controls of the main window found and named by their object names.

#include <QObject>
#include <QString>

namespace lexanta {

// Gives `widget` its object name, which the settings, the text tables and the tests key on.
template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The window's own control of that name.
template <typename W> W* child(const QObject* window, const char* name) {
    W* found = window->findChild<W*>(QString::fromLatin1(name));
    Q_ASSERT(found);
    return found;
}

} // namespace lexanta
