#include "gui/vocab/recent_files.h"

#include <QAction>
#include <QMenu>

namespace lexanta {

RecentFiles::RecentFiles(QMenu* menu, QObject* parent) : QObject(parent), menu_(menu) {
    rebuildMenu();
}

void RecentFiles::add(const QString& path) {
    if (path.isEmpty())
        return;
    items_.removeIf(
        [&](const QString& item) { return item.compare(path, Qt::CaseInsensitive) == 0; });
    items_.prepend(path);
    while (items_.size() > kCapacity)
        items_.removeLast();
    rebuildMenu();
}

void RecentFiles::setItems(const QStringList& paths) {
    items_.clear();
    for (auto it = paths.crbegin(); it != paths.crend(); ++it) {
        if (it->isEmpty())
            continue;
        items_.removeIf(
            [&](const QString& item) { return item.compare(*it, Qt::CaseInsensitive) == 0; });
        items_.prepend(*it);
    }
    while (items_.size() > kCapacity)
        items_.removeLast();
    rebuildMenu();
}

void RecentFiles::clear() {
    items_.clear();
    rebuildMenu();
}

QString RecentFiles::caption(int index, const QString& path) {
    const QChar accelerator = index < 9 ? QChar(u'1' + index) : QChar(u'A' + (index - 9));
    return QStringLiteral("&") + accelerator + QLatin1Char('\t') + path;
}

void RecentFiles::rebuildMenu() {
    if (!menu_)
        return;
    menu_->clear();
    for (int i = 0; i < items_.size(); ++i) {
        const QString path = items_.at(i);
        // A "&" in a path is doubled so that the menu shows it instead of underlining.
        QAction* item = menu_->addAction(
            caption(i, QString(path).replace(QLatin1Char('&'), QStringLiteral("&&"))));
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, path] { emit clicked(path); });
    }
    menu_->setEnabled(!items_.empty());
    menu_->menuAction()->setEnabled(!items_.empty());
}

} // namespace lexanta
