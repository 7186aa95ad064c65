#pragma once

// Writes and removes recovery copies on a thread of its own, one job at a time, so that the
// window never waits for a copy to be written. A job still waiting for its turn gives way to a
// newer one for the same file.

#include "document/document.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace lexanta {

class RecoveryWriter : public QObject {
    Q_OBJECT

public:
    explicit RecoveryWriter(QObject* parent = nullptr);
    // Finishes the jobs queued, then ends the thread.
    ~RecoveryWriter() override;

    // The copy at `path` becomes `document` as it stood at `saved`.
    void write(const QString& path, DocumentSnapshot document, const QDateTime& saved);
    void remove(const QString& path);
    // Returns once every job queued so far is done.
    void drain();
    // The error of a copy that memory ran out for.
    static QString outOfMemory() { return QStringLiteral("not enough memory"); }

signals:
    // A job ended (heard on the writer's own thread); `error` is empty when it succeeded.
    void done(const QString& path, bool wrote, const QString& error);

private:
    struct Job {
        QString path;
        std::shared_ptr<DocumentSnapshot> document; // none: remove the copy
        QDateTime saved;
    };
    void enqueue(Job job);
    void run();
    void work(Job& job);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Job> jobs_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace lexanta
