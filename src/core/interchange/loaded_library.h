#pragma once

// A library loaded with dlopen when it is first needed, and its functions looked up by name:
// the programs start without it, and only what uses it fails where it is missing.

#include <QString>

#include <dlfcn.h>

namespace lexanta {

class LoadedLibrary {
public:
    // `what` names the library in the error: "the zip library". Never closed: its functions
    // are called until the end.
    LoadedLibrary(const char* soname, const char* what)
        : handle_(::dlopen(soname, RTLD_NOW | RTLD_LOCAL)), soname_(soname), what_(what) {
        if (!handle_)
            fail();
    }
    // Looks `name` up into `function`; false, with error() saying why, when it or the library
    // is missing.
    template <typename Function> bool resolve(Function*& function, const char* name) {
        if (!handle_)
            return false;
        function = reinterpret_cast<Function*>(::dlsym(handle_, name));
        if (!function)
            fail();
        return function != nullptr;
    }
    const QString& error() const { return error_; }

private:
    void fail() {
        const char* why = ::dlerror();
        error_ = QStringLiteral("%1 cannot be loaded: %2")
                     .arg(QLatin1String(what_), QString::fromLocal8Bit(why ? why : soname_));
    }

    void* handle_;
    const char* soname_;
    const char* what_;
    QString error_;
};

} // namespace lexanta
