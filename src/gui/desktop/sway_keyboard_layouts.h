#pragma once

#include "platform/keyboard_layouts.h"

#include <QHash>
#include <QString>

#include <vector>

namespace lexanta {

// Keyboard layouts of a sway session through its IPC client: `swaymsg -t get_inputs` lists
// the keyboards with their layouts' descriptions ("English (US)", "German (no dead keys)")
// and the active one; `swaymsg input type:keyboard xkb_switch_layout N` switches every
// keyboard. A description is taken back to its XKB layout through the XKB rules' registry,
// and from there to a language. Nothing runs before the first use.
class SwayKeyboardLayouts : public KeyboardLayouts {
public:
    explicit SwayKeyboardLayouts(
        const QString& program = QStringLiteral("swaymsg"),
        const QString& rulesXml = QStringLiteral("/usr/share/X11/xkb/rules/evdev.xml"));

    // "00000409" when the active layout types a language the table does not know, or
    // without sway.
    QString currentLayoutName() const override;
    LayoutHandle loadLayout(const QString& name) override;
    void activate(const LayoutHandle& handle) override;

    struct State {
        std::vector<XkbLayout> layouts; // in the keyboard's order
        int active = -1;
    };
    // The first keyboard's layouts; empty without sway.
    State state() const;

private:
    XkbLayout layoutForDescription(const QString& description) const;

    QString program_;
    QString rulesXml_;
    mutable QHash<QString, XkbLayout> descriptions_; // read at the first need
};

} // namespace lexanta
