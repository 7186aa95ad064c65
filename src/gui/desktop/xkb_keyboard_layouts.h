#pragma once

#include "platform/keyboard_layouts.h"

#include <QString>

#include <memory>
#include <vector>

struct _XDisplay;

namespace lexanta {

// Keyboard layouts of an X11 display through XKB: a Windows layout name stands
// for the XKB group whose layout types its language (see the table in
// keyboard_layouts.h). Only the groups the user has configured can be
// activated; a layout the user has not configured loads as an invalid handle.
// Activating locks the group for the whole display, as the user's own
// language switcher does.
class XkbKeyboardLayouts : public KeyboardLayouts {
public:
    // displayName empty: $DISPLAY.
    explicit XkbKeyboardLayouts(const QString& displayName = {});
    ~XkbKeyboardLayouts() override;
    XkbKeyboardLayouts(const XkbKeyboardLayouts&) = delete;
    XkbKeyboardLayouts& operator=(const XkbKeyboardLayouts&) = delete;

    // Whether the display opened and has the XKB extension.
    bool isOpen() const { return display_ != nullptr; }

    // The active layout's name; "00000409" when it types a language the table
    // does not know, or without a display.
    QString currentLayoutName() const override;
    LayoutHandle loadLayout(const QString& name) override;
    void activate(const LayoutHandle& handle) override;

    // The layouts of the configured groups, in group order.
    std::vector<XkbLayout> configuredGroups() const;
    // The active group, -1 without a display.
    int currentGroup() const;

private:
    _XDisplay* display_ = nullptr;
};

// The XKB backend when Qt runs on X11 ("xcb") and its display with XKB can be opened; KWin's
// bus service in a Plasma session otherwise (Wayland); sway's IPC client under sway; on other
// Wayland desktops one that names the desktop's own setting (locking an XWayland group would
// type nothing); else the in-memory one (offscreen).
std::unique_ptr<KeyboardLayouts> createSystemKeyboardLayouts(const QString& platformName);
std::unique_ptr<KeyboardLayouts> createSystemKeyboardLayouts(); // Qt's platform

} // namespace lexanta
