#pragma once

#include <QObject>
#include <QStringList>

class QMenu;

namespace lexanta {

// The recent-file list (MRUManager1) shown as the items of a submenu, newest first.
class RecentFiles : public QObject {
    Q_OBJECT

public:
    static constexpr int kCapacity = 10;

    explicit RecentFiles(QMenu* menu, QObject* parent = nullptr);

    // Puts the path at the top; a path already listed (compared without regard to letter
    // case) moves there and takes the new spelling. The oldest falls off beyond kCapacity.
    void add(const QString& path);
    // Replaces the whole list (newest first), keeping at most kCapacity distinct paths.
    void setItems(const QStringList& paths);
    void clear();
    const QStringList& items() const { return items_; }

    // "&1\tpath" ... "&9\tpath", "&A\tpath".
    static QString caption(int index, const QString& path);

signals:
    void clicked(const QString& path);

private:
    void rebuildMenu();

    QMenu* menu_;
    QStringList items_;
};

} // namespace lexanta
