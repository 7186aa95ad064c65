#pragma once

#include <QKeyEvent>

#include <set>

namespace lexanta {

// Key releases count only for keys whose press this widget received. The release of a key
// that closed a dialog (Enter on its default button, say) then reaches whatever has the
// focus afterwards, and must not run that widget's key-up commands.
class KeyPairing {
public:
    void pressed(const QKeyEvent& event) { down_.insert(event.key()); }
    // True when the release belongs to a press seen here.
    bool released(const QKeyEvent& event) {
        return !event.isAutoRepeat() && down_.erase(event.key()) > 0;
    }
    void clear() { down_.clear(); }

private:
    std::set<int> down_;
};

} // namespace lexanta
