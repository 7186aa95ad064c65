#pragma once

// Colours on the colour scheme in use. A vocabulary names its field colours for a white
// background; on a dark scheme they are shown lighter where they would not stand out, and
// the file keeps the colours it names.

#include <QColor>
#include <QPalette>

#include <cstdint>

namespace lexanta {

// The contrast of two colours as WCAG measures it, from 1 (equal) to 21.
double contrastRatio(const QColor& a, const QColor& b);

// `wanted` when it stands out from `background`, else the same hue made lighter (on a dark
// background) or darker until it does.
QColor readableOn(const QColor& wanted, const QColor& background);

// A field font's colour (0x00BBGGRR or a system colour) as text on `background` of `palette`:
// the window-text colour is the palette's text colour, any other colour is made readable.
QColor fieldTextColor(std::int32_t color, const QPalette& palette,
                      QPalette::ColorRole background = QPalette::Base);

} // namespace lexanta
