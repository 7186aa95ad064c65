#include "gui/vocab/recovery_writer.h"

#include "document/recovery_copy.h"
#include "platform/file_io.h"
#include "platform/file_names.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <unistd.h>

namespace lexanta {

RecoveryWriter::RecoveryWriter(QObject* parent) : QObject(parent) {
    thread_ = std::thread([this] { run(); });
}

RecoveryWriter::~RecoveryWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void RecoveryWriter::write(const QString& path, DocumentSnapshot document, const QDateTime& saved) {
    enqueue({path, std::make_shared<DocumentSnapshot>(std::move(document)), saved});
}

void RecoveryWriter::remove(const QString& path) {
    enqueue({path, nullptr, {}});
}

void RecoveryWriter::enqueue(Job job) {
    {
        std::lock_guard lock(mutex_);
        // What waits for the same file is out of date: the newest job says what it must hold.
        std::erase_if(jobs_, [&](const Job& waiting) { return waiting.path == job.path; });
        jobs_.push_back(std::move(job));
    }
    wake_.notify_all();
}

void RecoveryWriter::drain() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void RecoveryWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty())
            return; // stopping, and nothing left to do
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        busy_ = true;
        lock.unlock();
        work(job);
        lock.lock();
        busy_ = false;
        if (jobs_.empty())
            idle_.notify_all();
    }
}

void RecoveryWriter::work(Job& job) {
    if (!job.document) {
        if (::unlink(fileNameToBytes(job.path).constData()) != 0 && errno != ENOENT)
            emit done(job.path, false, QString::fromLocal8Bit(std::strerror(errno)));
        else
            emit done(job.path, false, {});
        return;
    }
    QString error;
    try {
        const std::string bytes = recoveryCopyBytes(*job.document, job.saved);
        job.document.reset(); // its memory goes back before the file is written
        WriteOptions options;
        options.privateFile = true;
        if (const IoResult written = writeWholeFile(job.path, bytes, options); !written)
            error = written.reason;
    } catch (const std::bad_alloc&) {
        error = outOfMemory();
    }
    emit done(job.path, true, error);
}

} // namespace lexanta
