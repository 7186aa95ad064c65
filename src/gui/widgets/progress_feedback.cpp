#include "gui/widgets/progress_feedback.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QVariant>

#include <algorithm>

namespace lexanta {

namespace {

constexpr qint64 kRefreshMs = 50;
int busyOperations = 0;
const char* const kCancelButton = "lexantaCancelButton";

} // namespace

// While a cancellable operation lets the window paint, user input is looked at only for Esc.
class ProgressFeedback::EscapeWatch : public QObject {
public:
    explicit EscapeWatch(ProgressFeedback& feedback) : feedback_(feedback) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~EscapeWatch() override { QCoreApplication::instance()->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == feedback_.cancel_)
            return false; // the Cancel button takes its clicks
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
                feedback_.cancelled_ = true;
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
            // A window hands the mouse on to the widget under it, which is filtered then.
            if (watched->isWindowType())
                return false;
            event->ignore();
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
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
    if (cancel_) {
        cancel_->hide();
        if (bar_)
            QObject::disconnect(cancel_, nullptr, bar_, nullptr);
    }
    if (bar_ && lastShown_ >= 0) {
        bar_->setVisible(false);
        bar_->setValue(0);
        if (barPlace_.isValid())
            bar_->setGeometry(barPlace_);
    }
}

void ProgressFeedback::setCancelButton(QProgressBar* bar, QAbstractButton* button) {
    bar->setProperty(kCancelButton, QVariant::fromValue<QObject*>(button));
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
    if (cancellable_ && !cancel_)
        showCancelButton();
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

void ProgressFeedback::showCancelButton() {
    auto* button = qobject_cast<QAbstractButton*>(bar_->property(kCancelButton).value<QObject*>());
    if (!button || button->parentWidget() != bar_->parentWidget())
        return;
    cancel_ = button;
    barPlace_ = bar_->geometry();
    const QSize size(button->sizeHint().width(),
                     std::clamp(button->sizeHint().height(), barPlace_.height(),
                                std::max(barPlace_.height(), button->maximumHeight())));
    const int width = std::min(size.width(), barPlace_.width() / 3);
    button->setGeometry(barPlace_.right() + 1 - width, barPlace_.center().y() - size.height() / 2,
                        width, size.height());
    bar_->setGeometry(barPlace_.adjusted(0, 0, -width - 4, 0));
    // Connected to the bar, so the connection goes with this operation (see the destructor).
    QObject::connect(button, &QAbstractButton::clicked, bar_, [this] { cancelled_ = true; });
    button->show();
    button->raise();
}

} // namespace lexanta
