#pragma once

namespace lexanta {

// How the desktop knows the editor: an ASCII application name (the X11 window class and the
// desktop entry's StartupWMClass), the desktop entry's name (the Wayland app id), and the
// icon from the icon theme, the bundled one where the theme has none. The window titles stay
// as the window sets them.
inline constexpr char kApplicationName[] = "lexanta-editor";
inline constexpr char kDesktopFileName[] = "org.lexanta.Editor";

void nameDesktopApplication();

} // namespace lexanta
