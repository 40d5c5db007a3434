// A shared library loaded by path (dlopen, LoadLibrary) and unloaded when destroyed: the binary
// of a plug-in module of any format.
#pragma once

#include <memory>
#include <string>

namespace host {

class SharedLibrary {
public:
    // Null, with a one-line reason in error, when the file cannot be loaded.
    static std::unique_ptr<SharedLibrary> Open(const std::string& path, std::string* error);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // The exported function or object of that name, or null.
    void* Symbol(const char* name) const;

private:
    explicit SharedLibrary(void* handle) : handle_(handle) {}
    void* handle_;
};

}  // namespace host
