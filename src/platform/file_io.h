#pragma once

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

// Writes a whole file atomically: the old file stays intact unless every byte of
// the new one reached the disk. "-" writes standard output.
IoResult writeWholeFile(const QString& path, const std::string& bytes);

} // namespace lexanta
