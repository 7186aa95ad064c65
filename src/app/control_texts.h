#pragma once

#include <QString>

#include <optional>

namespace lexanta {

class TForm1;

// Captions and tool button hints of the main window's controls, by design name: menu
// titles and items, labels, group boxes, page tabs, buttons, the check box and the tool
// bar sections. The language commands and the settings store both go through here.
std::optional<QString> controlCaption(const TForm1& form, const QString& name);
bool setControlCaption(TForm1& form, const QString& name, const QString& text);
std::optional<QString> controlHint(const TForm1& form, const QString& name);
bool setControlHint(TForm1& form, const QString& name, const QString& hint);

} // namespace lexanta
