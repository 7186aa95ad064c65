#pragma once

class QWidget;

namespace lexanta {

// Names and descriptions that screen readers announce, in the interface language: for the
// controls whose caption does not say what they are (input boxes, their font buttons, the
// description boxes, the grid and its cells, the three "update layout" buttons). The
// captions the settings store stay as they are.
void applyAccessibleTexts(QWidget& window, bool english);

} // namespace lexanta
