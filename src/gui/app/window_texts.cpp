#include "gui/app/window_texts.h"

#include "gui/app/main_window.h"
#include "gui/app/speed_bar.h"
#include "gui/interchange/interchange_commands.h"
#include "gui/vocab/file_commands.h"

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
QObject* findControl(const MainWindow& form, const QString& name) {
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

std::optional<QString> WindowTexts::caption(const QString& name) const {
    const MainWindow& form = window_;
    if (const int s = sectionIndex(*form.speedBar(), name); s >= 0)
        return form.speedBar()->sections()[s].caption;
    QObject* control = findControl(form, name);
    if (!control)
        return std::nullopt;
    if (auto* page = qobject_cast<QWidget*>(control)) {
        if (const int tab = form.pages()->indexOf(page); tab >= 0)
            return form.pages()->tabText(tab);
    }
    if (auto* menu = qobject_cast<QMenu*>(control))
        return menu->title();
    // A separator keeps its caption aside: a menu would show it as a heading.
    if (auto* action = qobject_cast<QAction*>(control))
        return action->isSeparator() ? separatorCaptions_.value(name, QStringLiteral("-"))
                                     : action->text();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    if (auto* box = qobject_cast<QGroupBox*>(control))
        return box->title();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    return std::nullopt;
}

bool WindowTexts::setCaption(const QString& name, const QString& text) {
    MainWindow& form = window_;
    if (const int s = sectionIndex(*form.speedBar(), name); s >= 0) {
        form.speedBar()->setSectionCaption(s, text);
        return true;
    }
    QObject* control = findControl(form, name);
    if (!control)
        return false;
    if (auto* page = qobject_cast<QWidget*>(control)) {
        if (const int tab = form.pages()->indexOf(page); tab >= 0) {
            form.pages()->setTabText(tab, text);
            return true;
        }
    }
    if (auto* menu = qobject_cast<QMenu*>(control)) {
        menu->setTitle(text);
    } else if (auto* action = qobject_cast<QAction*>(control)) {
        if (action->isSeparator())
            separatorCaptions_[name] = text;
        else
            action->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
        box->setTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        setPlainText(*label, text);
    } else {
        return false;
    }
    return true;
}

std::optional<QString> WindowTexts::hint(const QString& name) const {
    const QToolButton* button = window_.speedBar()->button(name);
    if (!button)
        return std::nullopt;
    return window_.speedBar()->hint(button);
}

bool WindowTexts::setHint(const QString& name, const QString& hint) {
    QToolButton* button = window_.speedBar()->button(name);
    if (!button)
        return false;
    window_.speedBar()->setHint(button, hint);
    return true;
}

namespace {

FileDialogState* dialogNamed(MainWindow& window, const QString& name) {
    if (name == QLatin1String("OpenDialog1"))
        return &window.files().openDialog();
    if (name == QLatin1String("SaveDialog1"))
        return &window.files().saveDialog();
    if (name == QLatin1String("OpenDialog2"))
        return &window.interchange().importDialog();
    if (name == QLatin1String("SaveDialog2"))
        return &window.interchange().exportDialog();
    return nullptr;
}

} // namespace

std::optional<QString> WindowTexts::filter(const QString& name) const {
    if (const FileDialogState* d = dialogNamed(window_, name))
        return d->filter;
    return std::nullopt;
}

bool WindowTexts::setFilter(const QString& name, const QString& filter) {
    FileDialogState* d = dialogNamed(window_, name);
    if (!d)
        return false;
    d->filter = filter;
    return true;
}

} // namespace lexanta
