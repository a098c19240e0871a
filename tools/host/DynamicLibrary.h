#pragma once
// Loading a library by path and finding its exports, for programs that stand in for
// the host. The plug-in itself never loads libraries.

#include <string>

namespace host {

class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary() { close(); }
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // False with a readable reason in error() when the library cannot be loaded.
    bool open(const std::string& path);
    // Unloads it (the library's unload step runs now); safe to call twice.
    void close();
    bool isOpen() const { return handle_ != nullptr; }

    // The address of an export, or null.
    void* find(const char* name) const;
    const std::string& error() const { return error_; }

private:
    void* handle_ = nullptr;
    std::string error_;
};

} // namespace host
