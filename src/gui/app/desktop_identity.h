#pragma once

class QWidget;

namespace lexanta {

// How the desktop knows the editor: an ASCII application name (the X11 window class and the
// desktop entry's StartupWMClass), the desktop entry's name (the Wayland app id), and the
// icon from the icon theme, the bundled one where the theme has none. The window titles stay
// as the window sets them.
inline constexpr char kApplicationName[] = "lexanta-editor";
inline constexpr char kDesktopFileName[] = "org.lexanta.Editor";

// The names and the icon.
void nameDesktopApplication();
// The names alone; they have to be set before a window is made.
void nameDesktopApplicationWithoutIcon();
// The icon once `window` has been painted on the screen the first time (or a second after it
// was shown, should it not be): looking it up in the icon theme and reading the bundled
// pictures takes as long as building half the window, and the desktop shows an icon set
// later as well.
void setApplicationIconAfterFirstPaint(QWidget* window);

} // namespace lexanta
