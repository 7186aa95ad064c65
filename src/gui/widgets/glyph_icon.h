#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

namespace lexanta {

// A tool bar glyph drawn from text at whatever size and scale the button asks for, so it
// stays sharp on any screen. `ink` is shown as it is where it stands out from the window
// colour of the application's palette, lighter or darker where it would not (a dark
// scheme), and follows a change of the palette. `relativeSize` is the glyph's pixel height
// as a share of the icon's.
QIcon glyphIcon(const QString& text, const QColor& ink, qreal relativeSize);

// `icon` as it is where its picture stands out from the window colour of the application's
// palette, and its shape drawn in the palette's window-text colour where it would not (a
// black picture on a dark scheme). Follows a change of the palette.
QIcon readableIcon(const QIcon& icon);

} // namespace lexanta
