#pragma once

#include <filesystem>
#include <string>

namespace fakehost {

// A shared library opened for the life of the object (dlopen, or LoadLibraryW on Windows).
class DynamicLibrary {
public:
    // Throws std::runtime_error with the loader's message when the file does not load.
    explicit DynamicLibrary(const std::filesystem::path& path);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // nullptr when the library has no such symbol.
    void* symbol(const char* name) const;

    template <class Function>
    Function* function(const char* name) const {
        return reinterpret_cast<Function*>(symbol(name));
    }

private:
    void* handle_ = nullptr;
};

} // namespace fakehost
