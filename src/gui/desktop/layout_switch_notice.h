#pragma once

#include "platform/keyboard_layouts.h"

#include <QString>

class QWidget;

namespace lexanta {

class Dialogs;

// Layouts on a Wayland desktop that lets no program switch them (neither Plasma nor sway):
// the active layout is kept in memory, and the desktop setting that switches layouts is
// named for the notice below. `desktop` is $XDG_CURRENT_DESKTOP.
class UnswitchableKeyboardLayouts : public MemoryKeyboardLayouts {
public:
    explicit UnswitchableKeyboardLayouts(const QString& desktop);
    QString switchingSetting(bool english) const override;

private:
    QString desktop_;
};

// Tells the user, the first time in a run that a field's layout cannot be switched, that the
// desktop does not allow it and where to switch by hand. Ticking "do not show again" keeps it
// from showing in later runs too, remembered in `settingsPath` (the program's own settings,
// apart from the window's editor.ini and placement file).
class LayoutSwitchNotice {
public:
    LayoutSwitchNotice(Dialogs& dialogs, const QString& settingsPath);

    void show(QWidget* owner, const QString& setting, bool english);

private:
    Dialogs& dialogs_;
    QString settingsPath_;
    bool shown_ = false;
};

} // namespace lexanta
