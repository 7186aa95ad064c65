#include "gui/widgets/progress_feedback.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QProgressBar>

#include <algorithm>

namespace lexanta {

namespace {

constexpr qint64 kRefreshMs = 50;
int busyOperations = 0;

} // namespace

// While a cancellable operation lets the window paint, user input is looked at only for Esc.
class ProgressFeedback::EscapeWatch : public QObject {
public:
    explicit EscapeWatch(ProgressFeedback& feedback) : feedback_(feedback) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~EscapeWatch() override { QCoreApplication::instance()->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
                feedback_.cancelled_ = true;
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::Close:
            event->ignore();
            return true;
        default:
            return false;
        }
    }

private:
    ProgressFeedback& feedback_;
};

ProgressFeedback::ProgressFeedback(QProgressBar* bar, int showAfterMs, bool cancellable)
    : bar_(bar), showAfterMs_(showAfterMs), cancellable_(cancellable) {
    started_.start();
    ++busyOperations;
}

ProgressFeedback::~ProgressFeedback() {
    --busyOperations;
    if (bar_ && lastShown_ >= 0) {
        bar_->setVisible(false);
        bar_->setValue(0);
    }
}

bool ProgressFeedback::isBusy() {
    return busyOperations > 0;
}

std::function<void(long long, long long)> ProgressFeedback::callback() {
    return [this](long long done, long long total) { report(done, total); };
}

void ProgressFeedback::report(long long done, long long total) {
    const qint64 now = started_.elapsed();
    if (!bar_ || now < showAfterMs_ || (lastShown_ >= 0 && now - lastShown_ < kRefreshMs))
        return;
    lastShown_ = now;
    bar_->setRange(0, 1000);
    bar_->setValue(total > 0 ? static_cast<int>(std::min(done, total) * 1000 / total) : 0);
    bar_->setVisible(true);
    if (!cancellable_ || !QCoreApplication::instance()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return;
    }
    {
        const EscapeWatch watch(*this);
        QCoreApplication::processEvents();
    }
    if (cancelled_)
        throw OperationCancelled{};
}

} // namespace lexanta
