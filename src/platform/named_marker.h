#pragma once

#include <QString>

namespace lexanta {

// Stands in for a named mutex that is created and left open: while a marker of
// a name exists in some process, other processes can see that it does. It is a
// shared flock on a file named after it in the runtime directory
// ($XDG_RUNTIME_DIR, else /tmp), held until the marker is destroyed or the
// process ends, however it ends. Markers are shared: a second process creating
// one of the same name succeeds too.
class NamedMarker {
public:
    explicit NamedMarker(const QString& name);
    ~NamedMarker();
    NamedMarker(const NamedMarker&) = delete;
    NamedMarker& operator=(const NamedMarker&) = delete;

    // Whether the lock is held (a marker that could not be made changes nothing else).
    bool isValid() const { return fd_ >= 0; }
    QString filePath() const { return path_; }

    // Whether any process (this one included) holds a marker of this name.
    static bool isHeld(const QString& name);
    // The file behind a marker; characters other than letters, digits, '.', '-'
    // and '_' in the name become '_', so a name cannot leave the folder.
    static QString markerPath(const QString& name);

private:
    QString path_;
    int fd_ = -1;
};

} // namespace lexanta
