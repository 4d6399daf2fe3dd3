#include "DynamicLibrary.h"

#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace fakehost {

DynamicLibrary::DynamicLibrary(const std::filesystem::path& path) {
#if defined(_WIN32)
    handle_ = reinterpret_cast<void*>(LoadLibraryW(path.wstring().c_str()));
    if (handle_ == nullptr) {
        throw std::runtime_error("LoadLibraryW failed for " + path.string() + ": error " +
                                 std::to_string(GetLastError()));
    }
#else
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* error = dlerror();
        throw std::runtime_error(error != nullptr ? error : "dlopen failed for " + path.string());
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

} // namespace fakehost
