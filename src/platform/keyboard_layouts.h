#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace lexanta {

// A layout returned by KeyboardLayouts::loadLayout(). Invalid when the name
// names no layout that can be activated; activating an invalid one does nothing.
struct LayoutHandle {
    QString name;   // the layout name it was loaded by, 8 upper-case hex digits
    int index = -1; // the backend's reference (the XKB group; the loaded slot)

    bool isValid() const { return index >= 0; }
    friend bool operator==(const LayoutHandle&, const LayoutHandle&) = default;
};

// The three keyboard-layout operations the editor uses: the active layout's name, a
// lookup, an activation. Layout names are input locale names as the vocabulary files
// store them: 8 hexadecimal digits whose low 16 bits are the language id ("00000409"
// United States English, "00000419" Russian).
class KeyboardLayouts {
public:
    virtual ~KeyboardLayouts() = default;

    // The name of the active layout.
    virtual QString currentLayoutName() const = 0;
    // Looks the layout up without activating it.
    virtual LayoutHandle loadLayout(const QString& name) = 0;
    // Makes it the active layout; invalid handles do nothing.
    virtual void activate(const LayoutHandle& handle) = 0;
    // Empty where layouts can be switched; else, where the desktop does not let programs
    // switch them, the desktop setting in which the user switches them.
    virtual QString switchingSetting(bool english) const {
        (void)english;
        return {};
    }
};

// Keeps the active layout in memory: for tests and for sessions without an X11
// keyboard. Every well-formed name loads unless a list of available names is given.
class MemoryKeyboardLayouts : public KeyboardLayouts {
public:
    explicit MemoryKeyboardLayouts(const QStringList& available = {},
                                   const QString& current = QStringLiteral("00000409"));

    QString currentLayoutName() const override { return current_; }
    LayoutHandle loadLayout(const QString& name) override;
    void activate(const LayoutHandle& handle) override;

    // What the user's own language switcher would do.
    void setCurrentLayoutName(const QString& name) { current_ = name; }
    // The names activated through activate(), oldest first.
    const QStringList& activationHistory() const { return history_; }
    void clearActivationHistory() { history_.clear(); }
    int loadCount() const { return loadCount_; }

private:
    QStringList available_;
    QStringList loaded_;
    QString current_;
    QStringList history_;
    int loadCount_ = 0;
};

// The value of a layout name, or nothing when it is not exactly 8 hex digits.
std::optional<std::uint32_t> parseLayoutName(const QString& name);
// "0000" and the language id as 4 upper-case hex digits.
QString layoutNameForLanguage(std::uint16_t languageId);
// The locale of a Windows language id, such as "ru_RU" for 0x0419; empty when unknown.
QString localeForLanguageId(std::uint16_t languageId);

// One XKB group's layout, e.g. {"ru", "phonetic"} for ru(phonetic).
struct XkbLayout {
    QString layout;
    QString variant;
    friend bool operator==(const XkbLayout&, const XkbLayout&) = default;
};

// The XKB layout of a language id ("us" for 0x0409, "ru(tt)" for 0x0444).
std::optional<XkbLayout> xkbLayoutForLanguage(std::uint16_t languageId);
// The language id of an XKB layout: the entry for layout(variant) if there
// is one, else the one for the bare layout ("ru(phonetic)" is Russian).
std::optional<std::uint16_t> languageForXkbLayout(const XkbLayout& layout);

// The layouts of the groups named in an XKB symbols name such as
// "pc+us+ru:2+de:3+inet(evdev)+group(alt_shift_toggle)", in group order; a
// group the name does not give is left empty.
std::vector<XkbLayout> groupsFromXkbSymbols(const QString& symbols);
// The same from the comma lists of the _XKB_RULES_NAMES property ("us,ru,de", ",phonetic,").
std::vector<XkbLayout> groupsFromRulesNames(const QString& layouts, const QString& variants);

// The group to activate for a layout name among the configured groups: the
// active group when it already has that language, else the first that has it;
// -1 when none has (or the name is malformed).
int groupForLayoutName(const QString& name, const std::vector<XkbLayout>& groups, int activeGroup);

} // namespace lexanta
