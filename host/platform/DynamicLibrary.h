#pragma once

#include <filesystem>
#include <string>

namespace ofxhost {

// A shared library loaded for its C entry points (dlopen on POSIX, LoadLibraryW on Windows),
// unloaded on destruction.
class DynamicLibrary {
public:
    // Throws HostError(kOfxStatErrFatal) with the loader's reason when it cannot be loaded.
    explicit DynamicLibrary(const std::filesystem::path& path);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // nullptr when the library does not export name.
    void* symbol(const char* name) const;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    void* handle_ = nullptr;
};

} // namespace ofxhost
