#include "platform/shared_library.h"

#include <windows.h>

namespace Arkova::Platform {

bool SharedLibrary::Load(const std::wstring& path) {
    Unload();
    error_.clear();
    if (path.empty()) {
        error_ = L"no library path";
        return false;
    }
    // With a full path, the library's own dependencies are looked up in its folder first.
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        error_ = L"LoadLibrary failed with error " + std::to_wstring(::GetLastError());
        return false;
    }
    handle_ = module;
    return true;
}

void SharedLibrary::Unload() {
    if (handle_ != nullptr) ::FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
}

void* SharedLibrary::Symbol(const char* name) const {
    if (handle_ == nullptr) return nullptr;
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace Arkova::Platform
