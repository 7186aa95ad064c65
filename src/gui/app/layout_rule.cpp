#include "gui/app/layout_rule.h"

#include <QEvent>
#include <QTabWidget>

#include <algorithm>

namespace lexanta {

namespace {

constexpr int kGridMargin = 4; // the grid stands 4 pixels in from the page's edges

// The room also changes without the window changing size (the status bar appears at the
// first show, the menu bar wraps, the page control lays out its pages late): the rule
// follows the page control's parent and the grid's page too.
class RoomWatcher : public QObject {
public:
    static constexpr const char* kName = "layoutRuleRoomWatcher";

    RoomWatcher(QTabWidget* pageControl, QWidget* grid)
        : QObject(pageControl), pageControl_(pageControl), grid_(grid) {
        setObjectName(QLatin1String(kName));
        pageControl->parentWidget()->installEventFilter(this);
        grid->parentWidget()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            applyLayoutRule(pageControl_->window()->size(), pageControl_, grid_);
        return false;
    }

private:
    QTabWidget* pageControl_;
    QWidget* grid_;
};

} // namespace

void applyLayoutRule(const QSize& window, QTabWidget* pageControl, QWidget* grid) {
    const int w = window.width();
    const int h = window.height();
    QSize page(w, h - 142);
    QSize gridSize(w - 12, h - 170);
    if (!pageControl->findChild<QObject*>(QLatin1String(RoomWatcher::kName),
                                          Qt::FindDirectChildrenOnly))
        new RoomWatcher(pageControl, grid);
    // A window never shown has not been laid out: its parts have no room to hold to yet.
    const bool laidOut = !pageControl->window()->isHidden();
    if (laidOut) {
        const QWidget* panel = pageControl->parentWidget();
        page = page.boundedTo(panel->size() - QSize(pageControl->x(), pageControl->y()));
    }
    pageControl->resize(page.expandedTo(QSize(0, 0)));
    if (laidOut) {
        // The page is laid out when it is shown; until then the grid keeps the rule's size.
        const QSize room = grid->parentWidget()->size() - QSize(grid->x(), grid->y()) -
                           QSize(kGridMargin, kGridMargin);
        gridSize = gridSize.boundedTo(room);
    }
    grid->resize(gridSize.expandedTo(QSize(0, 0)));
}

} // namespace lexanta
