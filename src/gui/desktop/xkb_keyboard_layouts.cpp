#include "gui/desktop/xkb_keyboard_layouts.h"

#include "gui/desktop/kwin_keyboard_layouts.h"
#include "gui/desktop/layout_switch_notice.h"
#include "gui/desktop/sway_keyboard_layouts.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XKBrules.h>

#include <cstdlib>

namespace lexanta {

namespace {

constexpr const char* kDefaultLayoutName = "00000409";

// The groups named by the _XKB_RULES_NAMES property that setxkbmap and the
// desktops set; used when the keymap's symbols name says nothing usable.
std::vector<XkbLayout> groupsFromRulesProperty(Display* display) {
    char* rulesFile = nullptr;
    XkbRF_VarDefsRec names{};
    std::vector<XkbLayout> groups;
    if (XkbRF_GetNamesProp(display, &rulesFile, &names)) {
        groups = groupsFromRulesNames(QString::fromLatin1(names.layout),
                                      QString::fromLatin1(names.variant));
    }
    std::free(rulesFile);
    std::free(names.model);
    std::free(names.layout);
    std::free(names.variant);
    std::free(names.options);
    return groups;
}

} // namespace

XkbKeyboardLayouts::XkbKeyboardLayouts(const QString& displayName) {
    const QByteArray name = displayName.toLocal8Bit();
    Display* display = XOpenDisplay(displayName.isEmpty() ? nullptr : name.constData());
    if (!display)
        return;
    int opcode = 0, event = 0, error = 0;
    int major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &event, &error, &major, &minor)) {
        XCloseDisplay(display);
        return;
    }
    display_ = display;
}

XkbKeyboardLayouts::~XkbKeyboardLayouts() {
    if (display_)
        XCloseDisplay(display_);
}

std::vector<XkbLayout> XkbKeyboardLayouts::configuredGroups() const {
    if (!display_)
        return {};
    std::vector<XkbLayout> groups;
    int groupCount = 0;
    if (XkbDescPtr keyboard = XkbAllocKeyboard()) {
        keyboard->device_spec = XkbUseCoreKbd;
        if (XkbGetNames(display_, XkbSymbolsNameMask | XkbGroupNamesMask, keyboard) == Success &&
            keyboard->names) {
            for (int group = 0; group < XkbNumKbdGroups; ++group)
                if (keyboard->names->groups[group] != None)
                    groupCount = group + 1;
            if (keyboard->names->symbols != None) {
                if (char* symbols = XGetAtomName(display_, keyboard->names->symbols)) {
                    groups = groupsFromXkbSymbols(QString::fromLatin1(symbols));
                    XFree(symbols);
                }
            }
        }
        XkbFreeKeyboard(keyboard, 0, True);
    }
    bool named = false;
    for (const XkbLayout& group : groups)
        named = named || !group.layout.isEmpty();
    if (!named)
        groups = groupsFromRulesProperty(display_);
    if (groupCount > 0)
        groups.resize(static_cast<std::size_t>(groupCount));
    return groups;
}

int XkbKeyboardLayouts::currentGroup() const {
    if (!display_)
        return -1;
    XkbStateRec state{};
    if (XkbGetState(display_, XkbUseCoreKbd, &state) != Success)
        return -1;
    return state.group;
}

QString XkbKeyboardLayouts::currentLayoutName() const {
    const int group = currentGroup();
    const std::vector<XkbLayout> groups = configuredGroups();
    if (group < 0 || static_cast<std::size_t>(group) >= groups.size())
        return QString::fromLatin1(kDefaultLayoutName);
    const auto language = languageForXkbLayout(groups[static_cast<std::size_t>(group)]);
    return language ? layoutNameForLanguage(*language) : QString::fromLatin1(kDefaultLayoutName);
}

LayoutHandle XkbKeyboardLayouts::loadLayout(const QString& name) {
    LayoutHandle handle{name.toUpper(), -1};
    if (display_)
        handle.index = groupForLayoutName(name, configuredGroups(), currentGroup());
    return handle;
}

void XkbKeyboardLayouts::activate(const LayoutHandle& handle) {
    if (!display_ || !handle.isValid() ||
        static_cast<std::size_t>(handle.index) >= configuredGroups().size())
        return;
    XkbLockGroup(display_, XkbUseCoreKbd, static_cast<unsigned int>(handle.index));
    XSync(display_, False);
}

std::unique_ptr<KeyboardLayouts> createSystemKeyboardLayouts(const QString& platformName) {
    if (platformName == QLatin1String("xcb")) {
        auto xkb = std::make_unique<XkbKeyboardLayouts>();
        if (xkb->isOpen())
            return xkb;
    }
    // Plasma switches layouts for programs through KWin's bus service, on Wayland as well.
    if (qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(QLatin1String("KDE")))
        return std::make_unique<KWinKeyboardLayouts>();
    if (!qEnvironmentVariableIsEmpty("SWAYSOCK"))
        return std::make_unique<SwayKeyboardLayouts>();
    if (platformName.startsWith(QLatin1String("wayland")))
        return std::make_unique<UnswitchableKeyboardLayouts>(
            qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
    return std::make_unique<MemoryKeyboardLayouts>();
}

std::unique_ptr<KeyboardLayouts> createSystemKeyboardLayouts() {
    return createSystemKeyboardLayouts(QGuiApplication::platformName());
}

} // namespace lexanta
