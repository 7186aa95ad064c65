#pragma once

#include <QByteArray>
#include <QString>

#include <string>
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

// Reads a whole file. "-" reads standard input.
IoResult readWholeFile(const QString& path, std::string& bytes);

// Writes a whole file. "-" writes standard output.
//
// A regular file, and a name that does not exist yet, is written through a temp file
// beside it (NAME.lexanta-XXXXXX) that is renamed over the target once every byte is on
// disk: the old file stays whole until then. The replaced file keeps its mode, and its
// owner and group where this process may set them; a hard link to it is broken (the
// other names keep the old contents). A symbolic link is followed, so the file it
// names is replaced and the link stays.
//
// A character device or a FIFO (a pipe read by another program) is written in place,
// never replaced; a FIFO that no program reads is refused instead of waiting. Sockets,
// block devices and folders are refused. A failure names the reason the system gave
// ("No space left on device", "File too large", ...); the file size limit is reported
// as "File too large" instead of ending the process (SIGXFSZ is ignored from the first
// write on). Stale temp files of the same target, left by a process killed while
// saving, are removed by the next save.
IoResult writeWholeFile(const QString& path, const std::string& bytes);

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

    IoResult open(const QString& path);
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
    int fd_ = -1;
    IoResult failure_;
};

} // namespace lexanta
