#include "gui/vocab/crash_recovery.h"

#include "document/document.h"
#include "gui/widgets/dialogs.h"
#include "platform/file_io.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lexanta {

namespace {

const QString kPrefix = QStringLiteral("recovery-");

// Whether a live editor holds this lock file; a lock taken here is released at once.
bool heldByALiveEditor(const QString& lockPath) {
    const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

} // namespace

CrashRecovery::CrashRecovery(Document& document, Dialogs& dialogs, QWidget* owner,
                             const QString& folder, QObject* parent)
    : QObject(parent), document_(document), dialogs_(dialogs), owner_(owner), folder_(folder),
      base_(kPrefix + QString::number(QCoreApplication::applicationPid())) {
    if (folder_.isEmpty())
        folder_ = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                      .filePath(QStringLiteral("lexanta-editor"));
    QDir().mkpath(folder_);
    const QByteArray lock =
        QFile::encodeName(QDir(folder_).filePath(base_ + QLatin1String(".lock")));
    lockFd_ = ::open(lock.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ >= 0 && ::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd_);
        lockFd_ = -1;
    }
    timer_.setSingleShot(true);
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &CrashRecovery::writeCopy);
    connect(&document_, &Document::modifiedChanged, this, &CrashRecovery::followModified);
    // Edits start the clock; a command that rewrites the whole list is kept at once.
    for (auto changed : {&Document::entriesChanged, &Document::headerChanged})
        connect(&document_, changed, this, [this] {
            if (document_.isModified() && !timer_.isActive())
                timer_.start();
        });
    connect(&document_, &Document::listRewritten, this, &CrashRecovery::writeCopy);
}

CrashRecovery::~CrashRecovery() {
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

QString CrashRecovery::copyPath() const {
    return QDir(folder_).filePath(base_ + QStringLiteral(".lut"));
}

void CrashRecovery::followModified(bool modified) {
    if (modified) {
        if (!timer_.isActive())
            timer_.start();
        return;
    }
    timer_.stop();
    removeCopy(); // saved: the file holds it now
}

void CrashRecovery::writeCopy() {
    timer_.stop();
    if (finished_ || lockFd_ < 0 || !document_.isModified())
        return;
    // Written whole or not at all; a failure leaves the former copy and is tried again.
    if (!writeWholeFile(copyPath(), document_.bytes()))
        timer_.start();
}

void CrashRecovery::removeCopy() {
    QFile::remove(copyPath());
}

void CrashRecovery::finish() {
    finished_ = true;
    timer_.stop();
    removeCopy();
    QFile::remove(QDir(folder_).filePath(base_ + QStringLiteral(".lock")));
}

void CrashRecovery::offerLeftCopy() {
    const QDir dir(folder_);
    QFileInfo newest;
    QStringList left;
    for (const QFileInfo& copy :
         dir.entryInfoList({kPrefix + QStringLiteral("*.lut")}, QDir::Files, QDir::Time)) {
        const QString lock = dir.filePath(copy.completeBaseName() + QStringLiteral(".lock"));
        if (copy.completeBaseName() == base_ || heldByALiveEditor(lock))
            continue;
        if (!newest.exists())
            newest = copy;
        left << copy.filePath();
    }
    if (!newest.exists())
        return;
    const QString when = QLocale::system().toString(newest.lastModified(), QLocale::ShortFormat);
    const MsgResult answer = dialogs_.messageBox(
        owner_,
        QStringLiteral("Lexanta Editor did not close properly. The vocabulary you were editing "
                       "was kept as it stood at %1.\n\nReopen it? It opens without a file name, "
                       "so Save asks where to keep it. No discards the copy.")
            .arg(when),
        QStringLiteral("Recovered vocabulary"), MsgIcon::Question, MsgButtons::YesNo);
    if (answer == MsgResult::Yes) {
        const FileOutcome outcome = document_.openRecovered(newest.filePath());
        if (!outcome.ok()) {
            dialogs_.messageBox(owner_, outcome.message(), QStringLiteral("Error"), MsgIcon::Error,
                                MsgButtons::Ok);
            return; // the copy stays for another try
        }
    }
    // Offered once: the copy and its lock go, and so do older ones of dead editors.
    for (const QString& path : left) {
        QFile::remove(path);
        QFile::remove(dir.filePath(QFileInfo(path).completeBaseName() + QStringLiteral(".lock")));
    }
}

} // namespace lexanta
