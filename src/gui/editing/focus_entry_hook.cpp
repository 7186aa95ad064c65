#include "gui/editing/focus_entry_hook.h"

#include <QFocusEvent>
#include <QWidget>

namespace lexanta {

bool isFocusMoveInsideWindow(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
           reason != Qt::MenuBarFocusReason;
}

FocusEntryHook::FocusEntryHook(QWidget* widget, std::function<void()> onEnter)
    : QObject(widget), onEnter_(std::move(onEnter)) {
    widget->installEventFilter(this);
}

bool FocusEntryHook::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::FocusIn &&
        isFocusMoveInsideWindow(static_cast<QFocusEvent*>(event)->reason()))
        onEnter_();
    return false;
}

} // namespace lexanta
