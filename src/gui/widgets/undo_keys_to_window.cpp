#include "gui/widgets/undo_keys_to_window.h"

#include "gui/widgets/modifier_typing_filter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

namespace lexanta {

UndoKeysToWindow::UndoKeysToWindow(QWidget* window) : QObject(window), window_(window) {
    qApp->installEventFilter(this);
}

bool UndoKeysToWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride || !takesText(watched))
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != window_)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeyCombination pressed = key->keyCombination();
    const bool undoKey = key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
                         pressed == QKeyCombination(Qt::CTRL, Qt::Key_Y);
    // Not taken here: the shortcut goes to the window's action.
    return undoKey;
}

} // namespace lexanta
