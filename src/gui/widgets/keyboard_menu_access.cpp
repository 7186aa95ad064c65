#include "gui/widgets/keyboard_menu_access.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QProxyStyle>

namespace lexanta {

namespace {

// Styles that leave it off (Fusion among them) still enter the menu bar on Alt.
class AltNavigationStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

class F10Filter : public QObject {
public:
    explicit F10Filter(QMenuBar* bar) : QObject(bar), bar_(bar) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != bar_->window() || !bar_->isVisible())
            return false;
        const QList<QAction*> actions = bar_->actions();
        if (key->modifiers() & Qt::AltModifier)
            return openByMnemonic(*key, actions);
        if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::NoModifier)
            return false;
        for (QAction* action : actions) {
            if (action->isVisible() && action->isEnabled() && action->menu()) {
                bar_->setActiveAction(action);
                return true;
            }
        }
        return false;
    }

private:
    // A mark that is no letter or digit ("&?") is typed with Shift on most layouts, which the
    // menu bar's own Alt+key match does not take.
    bool openByMnemonic(const QKeyEvent& key, const QList<QAction*>& actions) {
        for (QAction* action : actions) {
            const QString title = action->text();
            const qsizetype amp = title.indexOf(QLatin1Char('&'));
            if (amp < 0 || amp + 1 >= title.size() || !action->menu() || !action->isEnabled())
                continue;
            const QChar mark = title[amp + 1];
            if (mark.isLetterOrNumber())
                continue;
            if (key.key() == mark.unicode() || key.text() == QString(mark)) {
                bar_->setActiveAction(action);
                return true;
            }
        }
        return false;
    }

    QMenuBar* bar_;
};

} // namespace

void enableKeyboardMenuAccess(QMenuBar* bar) {
    auto* style = new AltNavigationStyle;
    style->setParent(bar);
    bar->setStyle(style);
    qApp->installEventFilter(new F10Filter(bar));
}

} // namespace lexanta
