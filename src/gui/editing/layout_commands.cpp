#include "gui/editing/layout_commands.h"

#include "document/document.h"
#include "gui/editing/combo_edit.h"
#include "gui/editing/focus_entry_hook.h"
#include "platform/keyboard_layouts.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace lexanta {

LayoutCommands::LayoutCommands(Document& document, KeyboardLayouts& layouts,
                               const LayoutControls& controls, QObject* parent)
    : QObject(parent), document_(document), layouts_(layouts), c_(controls) {
    connect(c_.autoSwitch, &QCheckBox::toggled, this, &LayoutCommands::autoSwitchChanged);
    for (int field = 0; field < kShownFields; ++field) {
        const auto f = static_cast<std::size_t>(field);
        connect(c_.captureButtons[f], &QPushButton::clicked, this,
                [this, field] { captureLayout(field); });
        connect(c_.boxes[f], &ComboEdit::focusEntered, this,
                [this, field] { activateFieldLayout(field); });
        new FocusEntryHook(c_.testBoxes[f], [this, field] { activateFieldLayout(field); });
    }
    autoSwitchChanged();
}

void LayoutCommands::activateFieldLayout(int field) {
    if (!c_.autoSwitch->isChecked())
        return;
    if (!layouts_.switchingSetting(true).isEmpty()) {
        emit switchingUnavailable();
        return;
    }
    const std::string& name = document_.header().layoutNames[static_cast<std::size_t>(field)];
    layouts_.activate(layouts_.loadLayout(QString::fromStdString(name)));
}

void LayoutCommands::captureLayout(int field) {
    document_.setLayoutName(field, layouts_.currentLayoutName().left(8).toStdString());
}

void LayoutCommands::autoSwitchChanged() {
    const bool on = c_.autoSwitch->isChecked();
    for (int field = 0; field < kShownFields; ++field) {
        const auto f = static_cast<std::size_t>(field);
        c_.captureButtons[f]->setEnabled(on);
        c_.testBoxes[f]->setEnabled(on);
        c_.testLabels[f]->setEnabled(on);
    }
}

} // namespace lexanta
