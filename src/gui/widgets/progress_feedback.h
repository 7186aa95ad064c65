#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>

class QAbstractButton;
class QProgressBar;

namespace lexanta {

// Thrown from a progress callback when the user stopped the operation with Esc. Whole-list
// commands compute their result before they change anything, so the document stays as it was.
struct OperationCancelled {};

// Progress of one long operation on the window's progress bar. The bar appears once the
// operation has run for half a second; while it runs the window goes on painting (user input
// waits, and the window cannot be closed), and the bar is hidden again when this goes.
class ProgressFeedback {
public:
    // Cancellable: Esc pressed, or the bar's Cancel button clicked, while the bar shows stops
    // the operation (report() throws OperationCancelled); other keys and clicks meanwhile are
    // dropped.
    explicit ProgressFeedback(QProgressBar* bar, int showAfterMs = 500, bool cancellable = false);
    ~ProgressFeedback();
    ProgressFeedback(const ProgressFeedback&) = delete;
    ProgressFeedback& operator=(const ProgressFeedback&) = delete;

    // For the operation's progress callback: `done` of `total` units of work.
    std::function<void(long long done, long long total)> callback();
    void report(long long done, long long total);

    // True while an operation reports progress (the window refuses to close meanwhile).
    static bool isBusy();
    // The button shown at the bar's right end, in its place, while a cancellable operation
    // shows the bar.
    static void setCancelButton(QProgressBar* bar, QAbstractButton* button);

private:
    void showCancelButton();
    QPointer<QProgressBar> bar_;
    QElapsedTimer started_;
    int showAfterMs_;
    qint64 lastShown_ = -1;
    bool cancellable_;
    bool cancelled_ = false;
    QPointer<QAbstractButton> cancel_; // while shown
    QRect barPlace_;                   // the bar's place before the button took its end
    class EscapeWatch;
    friend class EscapeWatch;
};

} // namespace lexanta
