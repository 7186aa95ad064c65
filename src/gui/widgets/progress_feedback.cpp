#include "gui/widgets/progress_feedback.h"

#include <QCoreApplication>
#include <QProgressBar>

#include <algorithm>

namespace lexanta {

namespace {

constexpr qint64 kRefreshMs = 50;
int busyOperations = 0;

} // namespace

ProgressFeedback::ProgressFeedback(QProgressBar* bar, int showAfterMs)
    : bar_(bar), showAfterMs_(showAfterMs) {
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
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace lexanta
