#pragma once

#include "platform/keyboard_layouts.h"

#include <QDBusConnection>

#include <vector>

namespace lexanta {

// Keyboard layouts of a KDE Plasma session, on Wayland too, through KWin's D-Bus service
// (org.kde.keyboard /Layouts, interface org.kde.KeyboardLayouts): the user's layouts in their
// order, the active one, and a switch to the one whose language matches a layout name. Nothing
// is asked of the bus before the first use, so the window maps without waiting for it.
class KWinKeyboardLayouts : public KeyboardLayouts {
public:
    explicit KWinKeyboardLayouts(const QDBusConnection& bus = QDBusConnection::sessionBus());

    // "00000409" when the active layout types a language the table does not know, or
    // without the service.
    QString currentLayoutName() const override;
    LayoutHandle loadLayout(const QString& name) override;
    void activate(const LayoutHandle& handle) override;

    // The user's layouts in order; empty without the service.
    std::vector<XkbLayout> configuredLayouts() const;
    // The active layout's index; -1 without the service.
    int currentIndex() const;

private:
    QDBusConnection bus_;
};

} // namespace lexanta
