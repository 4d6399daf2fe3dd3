#include "host/platform/DynamicLibrary.h"

#include "host/core/HostError.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace ofxhost {

namespace {

#if defined(_WIN32)
std::string lastErrorText() {
    const DWORD code = GetLastError();
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}
#endif

} // namespace

DynamicLibrary::DynamicLibrary(const std::filesystem::path& path) : path_(path) {
#if defined(_WIN32)
    handle_ = reinterpret_cast<void*>(LoadLibraryW(path.wstring().c_str()));
    if (handle_ == nullptr) {
        throw HostError(kOfxStatErrFatal, "cannot load " + path.string() + ": " + lastErrorText());
    }
#else
    // Local symbols: two plug-ins may link different copies of the same library.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        throw HostError(kOfxStatErrFatal, "cannot load " + path.string() + ": " +
                                              (reason ? reason : "unknown error"));
    }
#endif
}

DynamicLibrary::~DynamicLibrary() {
#if defined(_WIN32)
    FreeLibrary(reinterpret_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
}

void* DynamicLibrary::symbol(const char* name) const {
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
#else
    return dlsym(handle_, name);
#endif
}

} // namespace ofxhost
