#pragma once

#include <QSize>

class QTabWidget;
class QWidget;

namespace lexanta {

// The main window's layout rule for a window of W by H pixels: the page control W by
// H - 142, the grid W - 12 by H - 170. These are the design's numbers and they hold where the
// window has them (no frame, no bars). A shown window's room is what its menu bar, status
// bar and the page control's tabs leave: the sizes are held to that room, so that the grid's
// scroll bars and last row always stay in sight.
void applyLayoutRule(const QSize& window, QTabWidget* pageControl, QWidget* grid);

} // namespace lexanta
