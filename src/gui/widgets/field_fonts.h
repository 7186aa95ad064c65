#pragma once

// Field fonts as the window shows them: FieldFont (the file's attributes) to QFont and
// QColor and back, the Windows character sets a font may name, and the face names that
// stand in for Windows fonts this machine lacks.

#include "platform/font_description.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class QPalette;
class QWidget;

namespace lexanta {

// Registers metric-compatible stand-ins for the Windows faces the vocabularies name
// (Arial, MS Sans Serif, Times New Roman, Courier New); the font keeps its own name.
// Safe to call more than once.
void installFontSubstitutions();
// Those Windows faces, as Windows names them (Qt keeps substitutions in lower case).
QStringList substitutedFaces();

// Face names are bytes in the system ANSI code page.
QString faceName(const FieldFont& font);
// False when the name holds characters the system code page cannot hold.
bool setFaceName(FieldFont& font, const QString& name);

QFont toQFont(const FieldFont& font);

// Colour values: 0x00BBGGRR, or 0x80000000 | index for a system colour, which maps to the
// matching role of `palette` (0x80000008, window text, is the palette's window text).
QColor toQColor(std::int32_t color, const QPalette& palette);
std::int32_t fromQColor(const QColor& color);
bool isSystemColor(std::int32_t color);

// The font and its colour on a widget (the text colour of its palette).
void setWidgetFont(QWidget* widget, const QFont& font, const QColor& color);

struct NamedValue {
    int value;
    const char* name;
};

// The character sets offered in the font dialog, in the order Windows lists them.
const std::vector<NamedValue>& fontScripts();
// "Cyrillic" for 204; "Script 77" for a set the list does not name.
QString scriptName(int charset);
// Letters a font of that character set shows, for samples.
QString scriptSample(int charset);

// Named colours offered in the font dialog: the sixteen basic colours, then system colours.
struct NamedColor {
    std::int32_t value;
    const char* name;
};
const std::vector<NamedColor>& namedColors();

} // namespace lexanta
