#pragma once

class QMenuBar;

namespace lexanta {

// The menu bar is reached from the keyboard in every interface language: Alt alone enters
// it, F10 opens its first menu.
void enableKeyboardMenuAccess(QMenuBar* bar);

} // namespace lexanta
