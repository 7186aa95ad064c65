#pragma once

#include <QString>

#include <vector>

namespace lexanta {

// The texts that the two language commands switch, as data: the window applies them,
// the settings store persists the captions and hints.
enum class InterfaceLanguage { English, Russian };
enum class TextKind { Caption, Hint, Filter };

struct InterfaceText {
    const char* control; // design name of the control or dialog
    TextKind kind;
    const char* english; // UTF-8
    const char* russian; // UTF-8

    QString text(InterfaceLanguage language) const {
        return QString::fromUtf8(language == InterfaceLanguage::English ? english : russian);
    }
};

// All 69 switched texts: 53 captions, then 12 tool button hints, then 4 dialog filters.
const std::vector<InterfaceText>& interfaceTexts();

// The design texts a first start shows where they differ from the English column.
struct DesignText {
    const char* control;
    TextKind kind;
    const char* text;
};
const std::vector<DesignText>& firstStartDifferences();

// The tooltip of a hint: the part before "|".
QString shortHint(const QString& hint);

} // namespace lexanta
