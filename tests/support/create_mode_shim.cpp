// Preloaded, this notes the mode every file is created with (the argument of open with O_CREAT)
// in the file LEXANTA_SHIM_MODES names, one octal mode a line: what a save's temp file is
// readable by from its first moment.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>

namespace {

using OpenFunction = int (*)(const char*, int, ...);

int opened(const char* name, const char* path, int flags, va_list args) {
    const auto next = reinterpret_cast<OpenFunction>(dlsym(RTLD_NEXT, name));
    mode_t mode = 0;
    if (flags & O_CREAT) {
        mode = static_cast<mode_t>(va_arg(args, int));
        if (const char* log = std::getenv("LEXANTA_SHIM_MODES"))
            if (FILE* f = std::fopen(log, "a")) {
                std::fprintf(f, "%o\n", static_cast<unsigned>(mode));
                std::fclose(f);
            }
    }
    return next(path, flags, mode);
}

} // namespace

extern "C" int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const int fd = opened("open", path, flags, args);
    va_end(args);
    return fd;
}

extern "C" int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const int fd = opened("open64", path, flags, args);
    va_end(args);
    return fd;
}
