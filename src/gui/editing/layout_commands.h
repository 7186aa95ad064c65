#pragma once

// Per-field keyboard layouts: with automatic switching on, moving into a field's input box,
// its test box or a grid cell of its column activates the field's layout; "update layout"
// captures the active layout as the field's.

#include "core/vocab/entry.h"

#include <QObject>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lexanta {

class ComboEdit;
class Document;
class KeyboardLayouts;

struct LayoutControls {
    QCheckBox* autoSwitch = nullptr; // CheckBox1
    std::array<ComboEdit*, kShownFields> boxes{};
    std::array<QLineEdit*, kShownFields> testBoxes{};
    std::array<QPushButton*, kShownFields> captureButtons{};
    std::array<QLabel*, kShownFields> testLabels{};
};

class LayoutCommands : public QObject {
    Q_OBJECT

public:
    LayoutCommands(Document& document, KeyboardLayouts& layouts, const LayoutControls& controls,
                   QObject* parent = nullptr);

    // Activates the field's layout when automatic switching is on.
    void activateFieldLayout(int field);
    // Stores the active layout as the field's.
    void captureLayout(int field);

signals:
    // A field's layout was to be activated where the desktop lets no program switch layouts.
    void switchingUnavailable();

private:
    void autoSwitchChanged();

    Document& document_;
    KeyboardLayouts& layouts_;
    LayoutControls c_;
};

} // namespace lexanta
