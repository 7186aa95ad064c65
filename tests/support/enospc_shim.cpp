// A full disk for the tests where none can be mounted: preloaded, this fails every write
// to a regular file with ENOSPC once LEXANTA_SHIM_SPACE bytes have gone to such files.
#include <cerrno>
#include <cstdlib>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using WriteFunction = ssize_t (*)(int, const void*, size_t);

long long spaceLeft() {
    static long long left = [] {
        const char* value = std::getenv("LEXANTA_SHIM_SPACE");
        return value ? std::atoll(value) : -1LL;
    }();
    return left;
}

} // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size) {
    static const auto next = reinterpret_cast<WriteFunction>(dlsym(RTLD_NEXT, "write"));
    struct stat st {};
    if (spaceLeft() < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return next(fd, data, size);
    static long long used = 0;
    const long long room = spaceLeft() - used;
    if (room <= 0) {
        errno = ENOSPC;
        return -1;
    }
    const size_t now = size < static_cast<size_t>(room) ? size : static_cast<size_t>(room);
    const ssize_t written = next(fd, data, now);
    if (written > 0)
        used += written;
    return written;
}
