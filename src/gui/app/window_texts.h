#pragma once

#include "gui/ui_language/language_commands.h"

#include <QHash>

namespace lexanta {

class MainWindow;

// The main window's texts by design name: menu titles and items, labels, group boxes, page
// tabs, buttons, the check box, the tool bar sections and button hints, and the filters of the
// four file dialogs. The language commands and the settings store both go through here.
class WindowTexts : public InterfaceTexts {
public:
    explicit WindowTexts(MainWindow& window) : window_(window) {}

    std::optional<QString> caption(const QString& control) const override;
    bool setCaption(const QString& control, const QString& text) override;
    std::optional<QString> hint(const QString& control) const;
    bool setHint(const QString& control, const QString& hint) override;
    std::optional<QString> filter(const QString& dialog) const;
    bool setFilter(const QString& dialog, const QString& filter) override;

private:
    MainWindow& window_;
    // A separator keeps its caption here: a menu would show it as a heading.
    QHash<QString, QString> separatorCaptions_;
};

} // namespace lexanta
