#include "platform/file_io.h"

#include "platform/file_names.h"

#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>

#include <cstdint>
#include <cstdio>

namespace lexanta {

namespace {

constexpr char kTempInfix[] = ".lexanta-";
constexpr int kTempSuffixLength = 6;

// The temp files being written, for removeTempFilesOfWritesUnderWay. A slot's path is owned by
// whoever takes it out of the slot, so the handler never reads a freed one.
std::atomic<char*> liveTempFiles[16];
static_assert(std::atomic<char*>::is_always_lock_free);

int addLiveTempFile(const QByteArray& path) {
    char* copy = ::strdup(path.constData());
    for (int i = 0; copy && i < static_cast<int>(std::size(liveTempFiles)); ++i) {
        char* empty = nullptr;
        if (liveTempFiles[i].compare_exchange_strong(empty, copy))
            return i;
    }
    std::free(copy);
    return -1;
}

void dropLiveTempFile(int& slot) {
    if (slot >= 0)
        std::free(liveTempFiles[slot].exchange(nullptr));
    slot = -1;
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// A write past RLIMIT_FSIZE raises SIGXFSZ, which ends the process by default; ignored,
// the write fails with EFBIG and the save reports it. A handler someone installed stays.
void ignoreFileSizeSignal() {
    static const bool done = [] {
        struct sigaction current {};
        if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            std::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    (void)done;
}

// 0, or the errno of the write that failed.
int writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

int retryOpen(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do
        fd = ::open(path, flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// The folder and the file name of a native path.
struct SplitPath {
    QByteArray folder; // "." for a bare name
    QByteArray name;
};

SplitPath splitPath(const QByteArray& native) {
    const qsizetype slash = native.lastIndexOf('/');
    if (slash < 0)
        return {QByteArrayLiteral("."), native};
    return {slash == 0 ? QByteArrayLiteral("/") : native.left(slash), native.mid(slash + 1)};
}

bool isTempNameOf(const QByteArray& candidate, const QByteArray& prefix) {
    if (candidate.size() != prefix.size() + kTempSuffixLength || !candidate.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < candidate.size(); ++i) {
        const char c = candidate[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// Removes the temp files of this target that a killed save left. A temp file that is
// being written is locked by its writer and stays.
void removeStaleTempFiles(const SplitPath& target) {
    DIR* dir = ::opendir(target.folder.constData());
    if (!dir)
        return;
    const QByteArray prefix = target.name + kTempInfix;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!isTempNameOf(name, prefix))
            continue;
        const QByteArray path = target.folder + '/' + name;
        const int fd = retryOpen(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
        ::close(fd);
    }
    ::closedir(dir);
}

// Creates and locks a new temp file beside the target; -1 with errno set on failure.
int createTempFile(const SplitPath& target, QByteArray& tempPath) {
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray suffix(kTempSuffixLength, '0');
        for (char& c : suffix)
            c = alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet - 1))];
        tempPath = target.folder + '/' + target.name + kTempInfix + suffix;
        // Readable by no one else while it is written: a reader that opened it now would
        // keep reading whatever comes, whatever mode it gets later.
        const int fd = retryOpen(tempPath.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd >= 0)
            ::flock(fd, LOCK_EX);
        return fd;
    }
    errno = EEXIST;
    return -1;
}

// Gives the new file the owner, group and mode of the one it replaces, as far as this
// process may set them (the owner only as root, the group only one it belongs to).
void keepOwnerAndMode(int fd, mode_t mode, uid_t owner, gid_t group) {
    if (::fchown(fd, owner, group) != 0 && ::fchown(fd, static_cast<uid_t>(-1), group) != 0) {
        // the new file keeps this process's group
    }
    if (::fchmod(fd, mode & 07777) != 0)
        ::fchmod(fd, mode & 0777);
}

// The mode a new file gets from any other program: 0666 less the umask. The umask is read, not
// set and put back, which would race with files other threads create meanwhile.
mode_t newFileMode() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0)
            return 0666 & ~static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    return 0644;
}

FileStamp stampOf(const struct stat& st) {
    return {static_cast<qint64>(st.st_size),
            static_cast<qint64>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
            static_cast<quint64>(st.st_ino), static_cast<quint64>(st.st_dev)};
}

// Writes all of `data` to a pipe or device; a reader that goes away fails the write (EPIPE)
// instead of ending this process.
int writeAllToPipe(int fd, const char* data, std::size_t size) {
    sigset_t pipeSignal, previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    const int error = writeAll(fd, data, size);
    if (error == EPIPE) {
        const timespec none{0, 0};
        sigtimedwait(&pipeSignal, nullptr, &none);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return error;
}

} // namespace

QString IoResult::message(const QString& verb) const {
    return QStringLiteral("%1 %2: %3").arg(verb, path, reason);
}

void preferLargePages(const void* data, std::size_t size) {
#if defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kLarge = 2 << 20;
    if (size < 2 * kLarge)
        return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + 4095) & ~std::uintptr_t(4095);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~std::uintptr_t(4095);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

std::size_t readLimit() {
    unsigned long long memory =
        static_cast<unsigned long long>(std::max(::sysconf(_SC_PHYS_PAGES), 1L)) *
        static_cast<unsigned long long>(std::max(::sysconf(_SC_PAGE_SIZE), 1L));
    for (const int resource : {RLIMIT_AS, RLIMIT_DATA}) {
        struct rlimit limit {};
        if (::getrlimit(resource, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
            memory = std::min<unsigned long long>(memory, limit.rlim_cur);
    }
    // The entry store addresses its buffers with 39 bits.
    return static_cast<std::size_t>(std::min(memory / 2, 1ull << 39));
}

namespace {

QString tooLarge(std::size_t limit) {
    return QStringLiteral("too large: more than %1 MB, half the memory this program may use")
        .arg(limit >> 20);
}

QString shortenedWhileInUse(const char* name) {
    return QStringLiteral("%1 was shortened by another program while in use")
        .arg(fileNameFromBytes(name));
}

// Why a file of this kind is not read; empty when it is.
QString refusedKind(const struct stat& st, bool isStdin, bool regularOnly, int fd) {
    if (S_ISREG(st.st_mode))
        return {};
    if (S_ISDIR(st.st_mode))
        return systemReason(EISDIR);
    if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode))
        return regularOnly ? QStringLiteral("Is a pipe, not a file") : QString();
    // A terminal is what standard input may be; any other device reads without end.
    if (isStdin && S_ISCHR(st.st_mode) && ::isatty(fd))
        return {};
    return QStringLiteral("Is a device, not a file");
}

} // namespace

IoResult readWholeFile(const QString& path, std::string& bytes, const ReadOptions& options) {
    const bool isStdin = path == QLatin1String("-");
    // A pipe that no program writes to would hold the open: it is refused after it, not waited
    // on, when only a regular file is wanted.
    const int fd = isStdin ? STDIN_FILENO
                           : retryOpen(fileNameToBytes(path).constData(),
                                       O_RDONLY | (options.regularOnly ? O_NONBLOCK : 0));
    if (fd < 0)
        return IoResult::failure(path, systemReason(errno));
    const auto closeFile = [&] {
        if (!isStdin)
            ::close(fd);
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        closeFile();
        return IoResult::failure(path, systemReason(error));
    }
    if (const QString refused = refusedKind(st, isStdin, options.regularOnly, fd);
        !refused.isEmpty()) {
        closeFile();
        return IoResult::failure(path, refused);
    }
    if (options.regularOnly)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const std::size_t limit = readLimit();
    if (S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_size) > limit) {
        closeFile();
        return IoResult::failure(path, tooLarge(limit));
    }
    // Read straight into the string: a vocabulary of hundreds of megabytes is held once, not
    // twice. A file that is longer than it said, or a pipe, goes on in chunks.
    std::string data;
    try {
        if (S_ISREG(st.st_mode)) {
            data.reserve(static_cast<std::size_t>(st.st_size));
            preferLargePages(data.data(), data.capacity());
            data.resize(static_cast<std::size_t>(st.st_size));
        }
        std::size_t used = 0;
        char chunk[1 << 16];
        for (;;) {
            const bool intoData = used < data.size();
            const ssize_t n = ::read(fd, intoData ? data.data() + used : chunk,
                                     intoData ? data.size() - used : sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                const int error = errno;
                closeFile();
                return IoResult::failure(path, systemReason(error));
            }
            if (n == 0)
                break;
            if (used + static_cast<std::size_t>(n) > limit) {
                closeFile();
                return IoResult::failure(path, tooLarge(limit));
            }
            if (!intoData) {
                // Grown by doubling, but never past the limit: a pipe that goes on is refused
                // before its bytes take the memory away.
                if (data.capacity() - used < static_cast<std::size_t>(n))
                    data.reserve(std::min(std::max(2 * data.capacity(), used + sizeof chunk),
                                          limit + sizeof chunk));
                data.append(chunk, static_cast<std::size_t>(n));
            }
            used += static_cast<std::size_t>(n);
        }
        data.resize(used);
    } catch (...) {
        closeFile();
        throw;
    }
    if (options.stamp)
        *options.stamp = S_ISREG(st.st_mode) && ::fstat(fd, &st) == 0 ? stampOf(st) : FileStamp{};
    closeFile();
    bytes = std::move(data);
    return IoResult::success(path);
}

FileBytes::FileBytes(std::string&& bytes) {
    auto held = std::make_shared<const std::string>(std::move(bytes));
    view_ = *held;
    owner_ = std::move(held);
}

namespace {

std::atomic<bool> mapFiles{false};

// The files mapped, for mappedFileAt in a signal handler. A slot is taken by setting its name,
// then published by its start; it is let go start first, and its name is freed by whoever
// takes it out.
struct MappedFile {
    std::atomic<const char*> begin{nullptr};
    std::atomic<std::size_t> size{0};
    std::atomic<char*> name{nullptr};
};
MappedFile mappedFiles[8];

int addMappedFile(const char* begin, std::size_t size, const QByteArray& name) {
    char* copy = ::strdup(name.constData());
    for (int i = 0; copy && i < static_cast<int>(std::size(mappedFiles)); ++i) {
        char* empty = nullptr;
        if (mappedFiles[i].name.compare_exchange_strong(empty, copy)) {
            mappedFiles[i].size.store(size);
            mappedFiles[i].begin.store(begin);
            return i;
        }
    }
    std::free(copy);
    return -1;
}

void dropMappedFile(int slot) {
    mappedFiles[slot].begin.store(nullptr);
    std::free(mappedFiles[slot].name.exchange(nullptr));
}

// Below this a copy costs about what a mapping does.
constexpr off_t kMappedAtLeast = 1 << 20;

} // namespace

void mapFilesWhenRead() {
    mapFiles.store(true);
}

const char* mappedFileAt(const void* address) noexcept {
    const auto* at = static_cast<const char*>(address);
    for (MappedFile& file : mappedFiles) {
        const char* begin = file.begin.load();
        if (begin && at >= begin && at < begin + file.size.load())
            return file.name.load();
    }
    return nullptr;
}

IoResult readFileBytes(const QString& path, FileBytes& bytes, const ReadOptions& options) {
    if (mapFiles.load() && path != QLatin1String("-")) {
        // Anything but a regular file, and a file that cannot be opened, is left to
        // readWholeFile, which reports it as it should be. A FIFO is not even opened here: its
        // writer would take a reader that closes at once for the end of the reading.
        const QByteArray name = fileNameToBytes(path);
        struct stat st {};
        const bool regular = ::stat(name.constData(), &st) == 0 && S_ISREG(st.st_mode);
        const int fd = regular ? retryOpen(name.constData(), O_RDONLY | O_NONBLOCK) : -1;
        if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            st.st_size >= kMappedAtLeast &&
            static_cast<unsigned long long>(st.st_size) <= readLimit()) {
            const auto size = static_cast<std::size_t>(st.st_size);
            void* at = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            const int slot =
                at == MAP_FAILED ? -1 : addMappedFile(static_cast<const char*>(at), size, name);
            if (slot >= 0) {
                ::close(fd);
                if (options.stamp)
                    *options.stamp = stampOf(st);
                // Should making the owner fail, its deleter still runs.
                const auto unmap = [slot, size](const void* p) {
                    dropMappedFile(slot);
                    ::munmap(const_cast<void*>(p), size);
                };
                bytes = FileBytes(std::shared_ptr<const void>(at, unmap),
                                  std::string_view(static_cast<const char*>(at), size));
                return IoResult::success(path);
            }
            if (at != MAP_FAILED)
                ::munmap(at, size);
        }
        if (fd >= 0)
            ::close(fd);
    }
    std::string data;
    const IoResult read = readWholeFile(path, data, options);
    if (read)
        bytes = FileBytes(std::move(data));
    return read;
}

namespace {

// The file a chain of links ends in, for a link whose file does not exist yet; empty when
// the chain does not end (too many links).
QByteArray linkTarget(QByteArray native) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat link {};
        if (::lstat(native.constData(), &link) != 0 || !S_ISLNK(link.st_mode))
            return native;
        QByteArray target(static_cast<qsizetype>(std::max<off_t>(link.st_size, 0)) + 256, '\0');
        const ssize_t n =
            ::readlink(native.constData(), target.data(), static_cast<std::size_t>(target.size()));
        if (n < 0 || n >= target.size())
            return {};
        target.truncate(n);
        native = target.startsWith('/') ? target : splitPath(native).folder + '/' + target;
    }
    errno = ELOOP;
    return {};
}

} // namespace

FileStamp fileStamp(const QString& path) {
    struct stat st {};
    if (::stat(fileNameToBytes(path).constData(), &st) != 0)
        return {};
    return stampOf(st);
}

IoResult writeWholeFile(const QString& path, const std::string& bytes,
                        const WriteOptions& options) {
    FileWriter writer;
    if (IoResult opened = writer.open(path, options); !opened)
        return opened;
    if (IoResult written = writer.write(bytes.data(), bytes.size()); !written)
        return written;
    return writer.commit();
}

FileWriter::~FileWriter() {
    discard();
}

IoResult FileWriter::fail(int error) {
    if (failure_.ok)
        failure_ = IoResult::failure(path_, systemReason(error));
    discard();
    return failure_;
}

void FileWriter::discard() {
    if (fd_ < 0)
        return;
    if (target_ == Target::Replaced) {
        ::unlink(tempPath_.constData());
        dropLiveTempFile(tempSlot_);
    }
    // Closed only after the unlink: the lock keeps a concurrent save from taking the temp
    // file as stale.
    if (target_ != Target::StandardOutput)
        ::close(fd_);
    fd_ = -1;
}

IoResult FileWriter::open(const QString& path, const WriteOptions& options) {
    ignoreFileSizeSignal();
    discard();
    path_ = path;
    failure_ = IoResult::success(path);
    if (path == QLatin1String("-")) {
        std::fflush(stdout);
        target_ = Target::StandardOutput;
        fd_ = STDOUT_FILENO;
        return failure_;
    }
    native_ = fileNameToBytes(path);
    struct stat st {};
    const struct stat* old = nullptr;
    if (::stat(native_.constData(), &st) != 0) {
        if (errno != ENOENT)
            return fail(errno);
        // A link to a file that does not exist yet stays a link: the file it names is made.
        native_ = linkTarget(native_);
        if (native_.isEmpty())
            return fail(errno);
    } else if (S_ISREG(st.st_mode)) {
        old = &st;
        struct stat link {};
        if (::lstat(native_.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
            // The file the link names is replaced; the link stays a link.
            if (char* resolved = ::realpath(native_.constData(), nullptr)) {
                native_ = resolved;
                std::free(resolved);
            }
        }
    } else if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) {
        // A device or a pipe is written where it is; replacing it would break what uses it.
        // A pipe that no program reads is refused at once rather than waited on.
        target_ = Target::InPlace;
        isPipe_ = S_ISFIFO(st.st_mode);
        fd_ = retryOpen(native_.constData(), O_WRONLY | O_NOCTTY | (isPipe_ ? O_NONBLOCK : 0));
        if (fd_ < 0) {
            if (isPipe_ && errno == ENXIO)
                failure_ = IoResult::failure(path, QStringLiteral("No program is reading from "
                                                                  "this pipe"));
            else
                failure_ = IoResult::failure(path, systemReason(errno));
            return failure_;
        }
        if (isPipe_)
            ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        return failure_;
    } else if (S_ISDIR(st.st_mode)) {
        return fail(EISDIR);
    } else {
        failure_ = IoResult::failure(path, S_ISSOCK(st.st_mode)
                                               ? QStringLiteral("Is a socket, not a file")
                                               : QStringLiteral("Is a block device, not a file"));
        return failure_;
    }

    target_ = Target::Replaced;
    const SplitPath target = splitPath(native_);
    if (old && ::faccessat(AT_FDCWD, native_.constData(), W_OK, AT_EACCESS) != 0)
        return fail(errno);
    removeStaleTempFiles(target);
    fd_ = createTempFile(target, tempPath_);
    if (fd_ < 0) {
        const int error = errno;
        if (error != EACCES && error != EPERM && error != EROFS)
            return fail(error);
        // The file is only ever replaced whole, which takes a new file beside it.
        failure_ = IoResult::failure(
            path, QStringLiteral("%1: the folder %2 cannot be written, so the file cannot be "
                                 "replaced safely")
                      .arg(systemReason(error), fileNameFromBytes(target.folder)));
        return failure_;
    }
    tempSlot_ = addLiveTempFile(tempPath_);
    replacesFile_ = old != nullptr;
    if (old) {
        oldMode_ = old->st_mode;
        oldOwner_ = old->st_uid;
        oldGroup_ = old->st_gid;
    }
    privateFile_ = options.privateFile;
    stamp_ = options.stamp;
    return failure_;
}

IoResult FileWriter::write(const char* data, std::size_t size) {
    if (!failure_.ok || fd_ < 0)
        return failure_.ok ? IoResult::failure(path_, systemReason(EBADF)) : failure_;
    const int error =
        target_ == Target::InPlace ? writeAllToPipe(fd_, data, size) : writeAll(fd_, data, size);
    if (error == EFAULT && failure_.ok) {
        for (std::size_t at = 0; at < size; at += 4096)
            if (const char* lost = mappedFileAt(data + at)) {
                failure_ = IoResult::failure(path_, shortenedWhileInUse(lost));
                break;
            }
    }
    if (error != 0)
        return fail(error);
    return failure_;
}

IoResult FileWriter::commit() {
    if (!failure_.ok || fd_ < 0)
        return failure_.ok ? IoResult::failure(path_, systemReason(EBADF)) : failure_;
    if (target_ == Target::StandardOutput) {
        fd_ = -1;
        return failure_;
    }
    if (target_ == Target::InPlace) {
        ::close(fd_);
        fd_ = -1;
        return failure_;
    }
    // The file takes its final mode only once it is whole: until then no one else reads it.
    int error = 0;
    if (replacesFile_)
        keepOwnerAndMode(fd_, oldMode_, oldOwner_, oldGroup_);
    else if (!privateFile_ && ::fchmod(fd_, newFileMode()) != 0)
        error = errno;
    if (error == 0 && ::fsync(fd_) != 0)
        error = errno;
    struct stat written {};
    if (error == 0 && stamp_ && ::fstat(fd_, &written) == 0)
        *stamp_ = stampOf(written);
    if (error == 0 && ::rename(tempPath_.constData(), native_.constData()) != 0)
        error = errno;
    if (error != 0)
        return fail(error);
    dropLiveTempFile(tempSlot_);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        failure_ = IoResult::failure(path_, systemReason(errno));
        return failure_;
    }
    // The rename is on disk once the folder is; a folder that cannot be synced is no failure.
    if (const int dirFd = retryOpen(splitPath(native_).folder.constData(), O_RDONLY | O_DIRECTORY);
        dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return failure_;
}

void removeTempFilesOfWritesUnderWay() noexcept {
    for (std::atomic<char*>& slot : liveTempFiles)
        if (const char* path = slot.exchange(nullptr))
            ::unlink(path);
}

} // namespace lexanta
