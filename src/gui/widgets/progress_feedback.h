#pragma once

#include <QElapsedTimer>
#include <QPointer>

#include <functional>

class QProgressBar;

namespace lexanta {

// Progress of one long operation on the window's progress bar. The bar appears once the
// operation has run for half a second; while it runs the window goes on painting (user input
// waits, and the window cannot be closed), and the bar is hidden again when this goes.
class ProgressFeedback {
public:
    explicit ProgressFeedback(QProgressBar* bar, int showAfterMs = 500);
    ~ProgressFeedback();
    ProgressFeedback(const ProgressFeedback&) = delete;
    ProgressFeedback& operator=(const ProgressFeedback&) = delete;

    // For the operation's progress callback: `done` of `total` units of work.
    std::function<void(long long done, long long total)> callback();
    void report(long long done, long long total);

    // True while an operation reports progress (the window refuses to close meanwhile).
    static bool isBusy();

private:
    QPointer<QProgressBar> bar_;
    QElapsedTimer started_;
    int showAfterMs_;
    qint64 lastShown_ = -1;
};

} // namespace lexanta
