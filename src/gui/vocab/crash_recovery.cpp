#include "gui/vocab/crash_recovery.h"

#include "document/document.h"
#include "document/recovery_copy.h"
#include "gui/vocab/recovery_writer.h"
#include "gui/widgets/dialogs.h"
#include "platform/file_io.h"
#include "platform/file_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QUuid>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

namespace lexanta {

namespace {

const QString kCopySuffix = QStringLiteral(".lexanta-recovery");
const QString kLockSuffix = QStringLiteral(".lock");

// Whether a running editor holds this lock file; a lock taken here is let go at once.
bool heldByALiveEditor(const QString& lockPath) {
    const int fd = ::open(fileNameToBytes(lockPath).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

// "ID-N.lexanta-recovery" -> "ID"
QString editorOf(const QString& copyName) {
    const QString base = copyName.chopped(kCopySuffix.size());
    return base.left(base.lastIndexOf(QLatin1Char('-')));
}

// The first bytes of a file: a copy's header fits in them.
std::string headOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(4096).toStdString();
}

} // namespace

QString CrashRecovery::say(const char* english, const char* russian) const {
    return QString::fromUtf8(!isEnglish_ || isEnglish_() ? english : russian);
}

QString CrashRecovery::describe(const RecoveryCopyInfo& info) const {
    const QString name = info.fileName.isEmpty() ? say("(a vocabulary never saved)",
                                                       "(словарь, ни разу не сохранённый)")
                                                 : displayFileName(info.fileName);
    return say("%1 — %2 — %3 entries", "%1 — %2 — записей: %3")
        .arg(QDir::toNativeSeparators(name),
             QLocale::system().toString(info.saved.toLocalTime(), QLocale::ShortFormat))
        .arg(info.entries);
}

CrashRecovery::CrashRecovery(Document& document, Dialogs& dialogs, QWidget* owner,
                             const QString& folder, QObject* parent)
    : QObject(parent), document_(document), dialogs_(dialogs), owner_(owner), folder_(folder),
      id_(QUuid::createUuid().toString(QUuid::WithoutBraces)), writer_(new RecoveryWriter(this)) {
    if (folder_.isEmpty())
        folder_ = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                      .filePath(QStringLiteral("lexanta-editor/recovery"));
    // Copies are the user's work: no one else may read them, whatever the umask.
    if (!QDir().mkpath(folder_) || ::chmod(fileNameToBytes(folder_).constData(), S_IRWXU) != 0) {
        QTimer::singleShot(0, this, [this] { tell(Trouble::PrivateFolder, folder_); });
    } else {
        const QByteArray lock = fileNameToBytes(QDir(folder_).filePath(id_ + kLockSuffix));
        lockFd_ = ::open(lock.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (lockFd_ < 0 || ::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
            const QString reason = QString::fromLocal8Bit(std::strerror(errno));
            if (lockFd_ >= 0)
                ::close(lockFd_);
            lockFd_ = -1;
            QTimer::singleShot(0, this, [this, reason] { tell(Trouble::System, reason); });
        }
    }

    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    connect(&timer_, &QTimer::timeout, this, &CrashRecovery::writeCopy);
    connect(writer_, &RecoveryWriter::done, this, &CrashRecovery::copyDone, Qt::QueuedConnection);
    connect(&document_, &Document::modifiedChanged, this, &CrashRecovery::followModified);
    connect(&document_, &Document::aboutToBeReplaced, this, &CrashRecovery::keepReplacedCopy);
    for (auto changed :
         {&Document::entriesChanged, &Document::headerChanged, &Document::fileStateChanged})
        connect(&document_, changed, this, &CrashRecovery::scheduleCopy);
}

CrashRecovery::~CrashRecovery() {
    // The lock is held until the last copy is on disk.
    delete writer_;
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

QString CrashRecovery::copyPath() const {
    return QDir(folder_).filePath(QStringLiteral("%1-%2").arg(id_).arg(serial_) + kCopySuffix);
}

void CrashRecovery::scheduleCopy() {
    // Written from the first change on, not from the last: typing without a pause is kept too.
    if (!finished_ && lockFd_ >= 0 && document_.isModified() && !timer_.isActive())
        timer_.start(kDelayMs);
}

void CrashRecovery::writeCopy() {
    if (finished_ || lockFd_ < 0 || !document_.isModified())
        return;
    // A long command lets the window repaint midway: what it leaves is copied, not its middle.
    if (document_.isChanging()) {
        timer_.start(100);
        return;
    }
    try {
        writer_->write(copyPath(), document_.snapshot(), QDateTime::currentDateTimeUtc());
    } catch (const std::bad_alloc&) {
        tell(Trouble::OutOfMemory);
        timer_.start(kDelayMs);
    }
}

void CrashRecovery::followModified(bool modified) {
    if (modified) {
        scheduleCopy();
        return;
    }
    // Saved (or back to what the file holds): the file keeps the work now.
    timer_.stop();
    if (!finished_ && lockFd_ >= 0)
        writer_->remove(copyPath());
}

void CrashRecovery::keepReplacedCopy() {
    if (finished_ || lockFd_ < 0 || !document_.isModified())
        return;
    // The unsaved document goes into the undo stack: its copy is brought up to date and kept
    // under its own number until the editor ends; the next document gets a new one.
    timer_.stop();
    try {
        writer_->write(copyPath(), document_.snapshot(), QDateTime::currentDateTimeUtc());
    } catch (const std::bad_alloc&) {
        // The last copy written stays.
    }
    ++serial_;
}

void CrashRecovery::copyDone(const QString& path, bool wrote, const QString& error) {
    if (!wrote)
        return;
    if (error.isEmpty()) {
        if (troubled_) {
            troubled_ = false;
            emit copyTrouble({});
        }
        return;
    }
    if (error == RecoveryWriter::outOfMemory())
        tell(Trouble::OutOfMemory);
    else
        tell(Trouble::System, error);
    // Tried again later: the disk may have room again.
    if (path == copyPath())
        scheduleCopy();
}

void CrashRecovery::tell(Trouble trouble, const QString& reason) {
    if (troubled_)
        return;
    troubled_ = true;
    trouble_ = trouble;
    troubleReason_ = reason;
    emit copyTrouble(troubleText());
}

QString CrashRecovery::troubleText() const {
    QString reason = troubleReason_;
    if (trouble_ == Trouble::PrivateFolder)
        reason = say("the folder %1 cannot be made private",
                     "папку %1 не удаётся закрыть от других пользователей")
                     .arg(troubleReason_);
    else if (trouble_ == Trouble::OutOfMemory)
        reason = say("not enough memory", "недостаточно памяти");
    return say("No recovery copy can be kept: %1", "Копии для восстановления не сохраняются: %1")
        .arg(reason);
}

void CrashRecovery::retellTrouble() {
    if (troubled_)
        emit copyTrouble(troubleText());
}

void CrashRecovery::flush() {
    if (timer_.isActive() || (document_.isModified() && !finished_)) {
        timer_.stop();
        writeCopy();
    }
    writer_->drain();
}

void CrashRecovery::finish() {
    finished_ = true;
    timer_.stop();
    writer_->drain();
    const QDir dir(folder_);
    for (const QString& copy :
         dir.entryList({id_ + QStringLiteral("-*") + kCopySuffix}, QDir::Files))
        QFile::remove(dir.filePath(copy));
    QFile::remove(dir.filePath(id_ + kLockSuffix));
}

void CrashRecovery::offerLeftCopies() {
    const QDir dir(folder_);
    struct Left {
        QString path;
        RecoveryCopyInfo info;
    };
    std::vector<Left> left;
    QStringList damaged;
    for (const QFileInfo& copy :
         dir.entryInfoList({QStringLiteral("*") + kCopySuffix}, QDir::Files, QDir::Time)) {
        const QString editor = editorOf(copy.fileName());
        if (editor == id_ || heldByALiveEditor(dir.filePath(editor + kLockSuffix)))
            continue;
        if (const auto info = readRecoveryCopyInfo(headOf(copy.filePath())))
            left.push_back({copy.filePath(), *info});
        else
            damaged << keepAside(copy.filePath());
    }
    // The locks of editors that ended without a copy to leave are of no use to anyone.
    for (const QString& lock : dir.entryList({QStringLiteral("*") + kLockSuffix}, QDir::Files)) {
        const QString editor = lock.chopped(kLockSuffix.size());
        if (editor != id_ &&
            dir.entryList({editor + QStringLiteral("-*") + kCopySuffix}, QDir::Files).isEmpty() &&
            !heldByALiveEditor(dir.filePath(lock)))
            QFile::remove(dir.filePath(lock));
    }
    if (!damaged.isEmpty())
        dialogs_.messageBox(owner_,
                            say("A recovery copy could not be read as one. It was not opened, "
                                "and was kept aside as:\n\n",
                                "Копия для восстановления повреждена. Она не открыта и "
                                "перенесена сюда:\n\n") +
                                damaged.join(QLatin1Char('\n')),
                            say("Recovery copy damaged", "Копия для восстановления повреждена"),
                            MsgIcon::Warning, MsgButtons::Ok);
    while (!left.empty()) {
        QStringList rows;
        for (const Left& l : left)
            rows << describe(l.info);
        int chosen = -1;
        const QString caption = say("Recover unsaved work", "Восстановление несохранённой работы");
        const int button = dialogs_.chooseFromList(
            owner_,
            say("Lexanta Editor ended without closing, and work that was not saved was kept. "
                "Choose what to recover; the rest stays and is offered again at the next start.",
                "Lexanta Editor завершил работу аварийно, но несохранённая работа уцелела. "
                "Выберите, что восстановить; остальное останется и будет предложено снова "
                "при следующем запуске."),
            caption, rows,
            {say("&Recover", "&Восстановить"), say("&Discard", "&Удалить"),
             say("&Later", "&Позже")},
            chosen);
        if (button >= 2 || chosen < 0 || chosen >= static_cast<int>(left.size()))
            return;
        const Left picked = left[static_cast<std::size_t>(chosen)];
        if (button == 0) {
            recover(picked.path);
            return;
        }
        // Yes and No of our own: the system's speak the system's language.
        if (dialogs_.ask(owner_,
                         say("Discard the unsaved work in\n%1?\n\nIt cannot be recovered "
                             "afterwards.",
                             "Удалить несохранённую работу из\n%1?\n\nВосстановить её потом "
                             "будет нельзя.")
                             .arg(rows[chosen]),
                         caption, MsgIcon::Question,
                         {say("&Yes", "&Да"), say("&No", "&Нет")}) == 0) {
            QFile::remove(picked.path);
            left.erase(left.begin() + chosen);
        }
    }
}

QString CrashRecovery::keepAside(const QString& copy) {
    const QDir damaged(QDir(folder_).filePath(QStringLiteral("damaged")));
    const QString aside = damaged.filePath(QFileInfo(copy).fileName());
    if (QDir().mkpath(damaged.path()) && QFile::rename(copy, aside))
        return aside;
    return copy;
}

void CrashRecovery::recover(const QString& copy) {
    std::string bytes;
    std::optional<DocumentSnapshot> recovered;
    try {
        if (const IoResult read = readWholeFile(copy, bytes, {true, nullptr}); !read) {
            dialogs_.messageBox(owner_,
                                say("Cannot read %1: %2", "Не удаётся прочитать %1: %2")
                                    .arg(read.path, read.reason),
                                say("Error", "Ошибка"), MsgIcon::Error, MsgButtons::Ok);
            return;
        }
        recovered = readRecoveryCopy(std::move(bytes));
    } catch (const std::bad_alloc&) {
        dialogs_.messageBox(owner_,
                            say("Not enough memory to recover %1; it stays for another try.",
                                "Недостаточно памяти, чтобы восстановить %1; копия остаётся "
                                "для следующей попытки.")
                                .arg(copy),
                            say("Error", "Ошибка"), MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    if (!recovered) {
        dialogs_.messageBox(owner_,
                            say("The recovery copy could not be read as one. It was not "
                                "opened, and was kept aside as:\n\n",
                                "Копия для восстановления повреждена. Она не открыта и "
                                "перенесена сюда:\n\n") +
                                keepAside(copy),
                            say("Recovery copy damaged", "Копия для восстановления повреждена"),
                            MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    const QString editor = editorOf(QFileInfo(copy).fileName());
    if (!document_.recover(std::move(*recovered)))
        return; // told already; the copy stays
    // Taken over: this editor keeps it from now on, so a second crash offers it again.
    timer_.stop();
    if (QFile::exists(copyPath()))
        QFile::remove(copyPath());
    if (QFile::rename(copy, copyPath()))
        scheduleCopy();
    const QDir dir(folder_);
    if (dir.entryList({editor + QStringLiteral("-*") + kCopySuffix}, QDir::Files).isEmpty())
        QFile::remove(dir.filePath(editor + kLockSuffix));
}

} // namespace lexanta
