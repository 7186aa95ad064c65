#include "app/control_texts.h"

#include "app/speed_bar.h"
#include "app/tform1.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>

namespace lexanta {

namespace {

// The window's own control of that name; the dialogs it owns have controls of their own
// whose names may repeat the window's.
QObject* findControl(const TForm1& form, const QString& name) {
    const auto found = form.findChildren<QObject*>(name);
    for (QObject* object : found) {
        bool inDialog = false;
        for (QObject* p = object->parent(); p && p != &form; p = p->parent())
            inDialog = inDialog || qobject_cast<QDialog*>(p);
        if (!inDialog)
            return object;
    }
    return nullptr;
}

int sectionIndex(const SpeedBar& bar, const QString& name) {
    const auto& sections = bar.sections();
    for (std::size_t i = 0; i < sections.size(); ++i)
        if (sections[i].objectName == name)
            return static_cast<int>(i);
    return -1;
}

// A caption may come from a hand-edited file: it is never taken for markup.
void setPlainText(QLabel& label, const QString& text) {
    label.setTextFormat(Qt::PlainText);
    label.setText(text);
}

} // namespace

std::optional<QString> controlCaption(const TForm1& form, const QString& name) {
    if (const int s = sectionIndex(*form.SpeedBar1, name); s >= 0)
        return form.SpeedBar1->sections()[s].caption;
    QObject* control = findControl(form, name);
    if (!control)
        return std::nullopt;
    if (auto* page = qobject_cast<QWidget*>(control); page && form.PageControl1) {
        if (const int tab = form.PageControl1->indexOf(page); tab >= 0)
            return form.PageControl1->tabText(tab);
    }
    if (auto* menu = qobject_cast<QMenu*>(control))
        return menu->title();
    // A separator keeps its caption aside: a menu would show it as a heading.
    if (auto* action = qobject_cast<QAction*>(control))
        return action->isSeparator() ? action->property("caption").toString() : action->text();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    if (auto* box = qobject_cast<QGroupBox*>(control))
        return box->title();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    return std::nullopt;
}

bool setControlCaption(TForm1& form, const QString& name, const QString& text) {
    if (const int s = sectionIndex(*form.SpeedBar1, name); s >= 0) {
        form.SpeedBar1->setSectionCaption(s, text);
        return true;
    }
    QObject* control = findControl(form, name);
    if (!control)
        return false;
    if (auto* page = qobject_cast<QWidget*>(control); page && form.PageControl1) {
        if (const int tab = form.PageControl1->indexOf(page); tab >= 0) {
            form.PageControl1->setTabText(tab, text);
            return true;
        }
    }
    if (auto* menu = qobject_cast<QMenu*>(control))
        menu->setTitle(text);
    else if (auto* action = qobject_cast<QAction*>(control); action && action->isSeparator())
        action->setProperty("caption", text);
    else if (auto* action = qobject_cast<QAction*>(control))
        action->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* box = qobject_cast<QGroupBox*>(control))
        box->setTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        setPlainText(*label, text);
    else
        return false;
    return true;
}

std::optional<QString> controlHint(const TForm1& form, const QString& name) {
    const QToolButton* button = form.SpeedBar1->button(name);
    if (!button)
        return std::nullopt;
    return TForm1::hint(button);
}

bool setControlHint(TForm1& form, const QString& name, const QString& hint) {
    QToolButton* button = form.SpeedBar1->button(name);
    if (!button)
        return false;
    TForm1::setHint(button, hint);
    return true;
}

} // namespace lexanta
