#include "platform/shared_library.h"

#include <dlfcn.h>

#include "platform/posix/native_path.h"

namespace Arkova::Platform {

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kLoadFlags = RTLD_NOW | RTLD_LOCAL;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr int kLoadFlags = RTLD_NOW | RTLD_LOCAL;
#else
constexpr int kLoadFlags = RTLD_NOW | RTLD_LOCAL | RTLD_DEEPBIND;
#endif
#else
constexpr int kLoadFlags = RTLD_NOW | RTLD_LOCAL | RTLD_DEEPBIND;
#endif

}  // namespace

bool SharedLibrary::Load(const std::wstring& path) {
    Unload();
    error_.clear();
    if (path.empty()) {
        error_ = L"no library path";
        return false;
    }
    ::dlerror();
    handle_ = ::dlopen(NativePath(path).c_str(), kLoadFlags);
    if (handle_ == nullptr) {
        const char* reason = ::dlerror();
        error_ = reason != nullptr ? Utf8ToWide(reason) : L"the library could not be loaded";
        return false;
    }
    return true;
}

void SharedLibrary::Unload() {
    if (handle_ != nullptr) ::dlclose(handle_);
    handle_ = nullptr;
}

void* SharedLibrary::Symbol(const char* name) const {
    return handle_ != nullptr ? ::dlsym(handle_, name) : nullptr;
}

}  // namespace Arkova::Platform
