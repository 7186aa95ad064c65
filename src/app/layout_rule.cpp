#include "app/layout_rule.h"

#include <QStackedWidget>
#include <QTabWidget>

#include <algorithm>

namespace lexanta {

namespace {

constexpr int kGridMargin = 4; // the grid stands 4 pixels in from the page's edges

} // namespace

void applyLayoutRule(const QSize& window, QTabWidget* pageControl, QWidget* grid) {
    const int w = window.width();
    const int h = window.height();
    QSize page(w, h - 142);
    QSize gridSize(w - 12, h - 170);
    // A hidden window is not laid out yet: its parts have no room to hold to.
    const bool laidOut = pageControl->isVisible();
    if (laidOut) {
        const QWidget* panel = pageControl->parentWidget();
        page = page.boundedTo(panel->size() - QSize(pageControl->x(), pageControl->y()));
    }
    pageControl->resize(page.expandedTo(QSize(0, 0)));
    const auto* pages =
        pageControl->findChild<QStackedWidget*>(QString(), Qt::FindDirectChildrenOnly);
    if (laidOut && pages) {
        // Every page gets the stack's size; the Main page need not be the one shown.
        const QSize room = pages->contentsRect().size() - QSize(grid->x(), grid->y()) -
                           QSize(kGridMargin, kGridMargin);
        gridSize = gridSize.boundedTo(room);
    }
    grid->resize(gridSize.expandedTo(QSize(0, 0)));
}

} // namespace lexanta
