// Loading a shared library at run time and looking up the functions it exports.
// A SharedLibrary owns its handle and unloads the library on destruction; any thread may use it, one at a time.
#pragma once

#include <string>

namespace Arkova::Platform {

class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary() { Unload(); }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Loads the library at that path, unloading any library loaded before. On POSIX the library's own references
    // resolve inside it first (RTLD_DEEPBIND), so same-named symbols of the program cannot capture them; builds with
    // AddressSanitizer or ThreadSanitizer, whose runtimes refuse that flag, load it without. False, with
    // ErrorText(), when the library cannot be loaded.
    bool Load(const std::wstring& path);
    void Unload();
    bool IsLoaded() const { return handle_ != nullptr; }

    // The address of an exported symbol, or nullptr when the library does not export it.
    void* Symbol(const char* name) const;
    // Why the last Load failed, as the system said it.
    const std::wstring& ErrorText() const { return error_; }

private:
    void* handle_ = nullptr;
    std::wstring error_;
};

// Casts an exported symbol to its function type; nullptr stays nullptr.
template <typename Function>
Function SymbolAs(const SharedLibrary& library, const char* name) {
    return reinterpret_cast<Function>(library.Symbol(name));
}

}  // namespace Arkova::Platform
