#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace lexanta {

// The focus moved inside the window (a click, Tab, a shortcut, the program), rather than
// coming back with the window (activation, a closed menu or pop-up). Only such moves switch
// a field's keyboard layout: a window getting the focus back must not undo a layout the
// user just chose with the system's switcher.
bool isFocusMoveInsideWindow(Qt::FocusReason reason);

// Runs a callback when a focus move inside the window reaches a widget, before any key.
class FocusEntryHook : public QObject {
public:
    FocusEntryHook(QWidget* widget, std::function<void()> onEnter);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onEnter_;
};

} // namespace lexanta
