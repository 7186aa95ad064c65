#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lexanta {

// Outcome of a file operation: which file and, on failure, why.
struct IoResult {
    bool ok = true;
    QString path;
    QString reason; // empty when ok

    static IoResult success(const QString& path) { return {true, path, {}}; }
    static IoResult failure(const QString& path, const QString& reason) {
        return {false, path, reason};
    }
    explicit operator bool() const { return ok; }
    // "Cannot write /x/y.lut: Permission denied" style text for messages.
    QString message(const QString& verb) const;
};

// Asks for a large buffer (a whole file's bytes) to be backed by large memory pages where the
// system offers them: one page fault per 2 MB instead of one per 4 KB as it is filled. Call
// it before the buffer is first written; a no-op for small buffers.
void preferLargePages(const void* data, std::size_t size);

// `size` value-initialised elements in memory that prefers large pages.
template <typename T> std::vector<T> largeVector(std::size_t size) {
    std::vector<T> v;
    v.reserve(size);
    preferLargePages(v.data(), size * sizeof(T));
    v.resize(size);
    return v;
}

// What tells one version of a file from another: a file rewritten or replaced since has
// another stamp.
struct FileStamp {
    qint64 size = -1; // -1: no file
    qint64 modifiedNs = 0;
    quint64 inode = 0;
    quint64 device = 0;
    bool known() const { return size >= 0; }
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file the path names now (a link followed); unknown when there is none.
FileStamp fileStamp(const QString& path);

struct ReadOptions {
    // Only a regular file is read: a name remembered from earlier may since name a pipe that
    // no one writes to.
    bool regularOnly = false;
    FileStamp* stamp = nullptr; // the stamp of the file read
};

// Reads a whole file. "-" reads standard input. A device, a socket or a folder is refused,
// and so is more than the memory this process may use could take in: a regular file that
// big before anything is read, a pipe once that much came ("too large").
IoResult readWholeFile(const QString& path, std::string& bytes, const ReadOptions& options = {});

// A whole file's bytes, read into memory or mapped (see mapFilesWhenRead), and whoever keeps
// them: whoever takes a view of them shares the owner.
class FileBytes {
public:
    FileBytes() = default;
    explicit FileBytes(std::string&& bytes);
    FileBytes(std::shared_ptr<const void> owner, std::string_view bytes)
        : owner_(std::move(owner)), view_(bytes) {}
    std::string_view view() const { return view_; }
    const std::shared_ptr<const void>& owner() const { return owner_; }

private:
    std::shared_ptr<const void> owner_;
    std::string_view view_;
};

// From here on, readFileBytes maps a regular file of some size read-only instead of copying it
// into fresh memory, which the copy and the zeroed pages make slower. For a process that ends
// soon after (lexanta-tool) and handles SIGBUS: another program shortening a mapped file
// raises it where the lost bytes are read (mappedFileAt says which file), and a write of them
// fails with EFAULT.
void mapFilesWhenRead();
// What readWholeFile reads, with its checks and limits, mapped where the process allows it.
IoResult readFileBytes(const QString& path, FileBytes& bytes, const ReadOptions& options = {});
// The name (as the system takes it, NUL-terminated) of the mapped file whose bytes hold
// `address`, or null. Async-signal-safe.
const char* mappedFileAt(const void* address) noexcept;

// The most bytes readWholeFile takes: half the memory this process may use (the smaller of
// the machine's memory and the address-space and data limits), as a file needs at least as
// much again to be worked on.
std::size_t readLimit();

struct WriteOptions {
    bool privateFile = false;   // a new file is readable by its owner alone (0600)
    FileStamp* stamp = nullptr; // the stamp of the file written
};

// Writes a whole file. "-" writes standard output.
//
// A regular file, and a name that does not exist yet, is written through a temp file
// beside it (NAME.lexanta-XXXXXX) that is renamed over the target once every byte is on
// disk: the old file stays whole until then. The temp file is readable by its owner alone
// until it is whole; then it takes the mode of the file it replaces, and its owner and group
// where this process may set them, or a new file's mode (0666 less the umask). A hard link
// to the replaced file is broken (the other names keep the old contents). A symbolic link is
// followed, also one whose file does not exist yet: the file it names is written and the link
// stays. A file whose folder cannot be written is refused, naming the folder: it cannot be
// replaced safely, and it is never rewritten in place.
//
// A character device or a FIFO (a pipe read by another program) is written in place,
// never replaced; a FIFO that no program reads is refused instead of waiting. Sockets,
// block devices and folders are refused. A failure names the reason the system gave
// ("No space left on device", "File too large", ...); the file size limit is reported
// as "File too large" instead of ending the process (SIGXFSZ is ignored from the first
// write on). Stale temp files of the same target, left by a process killed while
// saving, are removed by the next save.
IoResult writeWholeFile(const QString& path, const std::string& bytes,
                        const WriteOptions& options = {});

// A file written piece by piece with the guarantees of writeWholeFile: a regular file is
// written to a locked temp file and replaces the target only at commit(), so an output too
// large to hold in memory (a PDF of a million entries) is never half there. The first failure
// is kept, and every later write and the commit report it. Destroyed without a successful
// commit, the temp file goes and the target stays as it was.
class FileWriter {
public:
    FileWriter() = default;
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    IoResult open(const QString& path, const WriteOptions& options = {});
    IoResult write(const char* data, std::size_t size);
    IoResult commit();
    bool isOpen() const { return fd_ >= 0; }

private:
    enum class Target { StandardOutput, Replaced, InPlace };
    IoResult fail(int error);
    void discard();

    QString path_;
    QByteArray native_;
    QByteArray tempPath_;
    Target target_ = Target::Replaced;
    bool isPipe_ = false;
    bool replacesFile_ = false;
    bool privateFile_ = false;
    // The replaced file's mode, owner and group.
    unsigned oldMode_ = 0, oldOwner_ = 0, oldGroup_ = 0;
    FileStamp* stamp_ = nullptr;
    int fd_ = -1;
    int tempSlot_ = -1; // where a signal handler finds tempPath_
    IoResult failure_;
};

// Removes the temp files of the writes under way. Async-signal-safe: a handler of a signal
// that ends the process (Ctrl+C) calls it so that no half-written file stays behind.
void removeTempFilesOfWritesUnderWay() noexcept;

} // namespace lexanta
