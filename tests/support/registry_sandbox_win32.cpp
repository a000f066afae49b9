#include <windows.h>

#include <sddl.h>

#include <atomic>

#include "support/registry_sandbox.h"

namespace Arkova::Testing {

namespace {

std::atomic<unsigned> counter{0};
constexpr wchar_t kSandboxParent[] = L"Software\\ArkovaTestSandbox";

// Everyone may do everything with the key except change its values, add sub-keys or delete it.
constexpr wchar_t kLockedAcl[] = L"D:(D;;SDDCLC;;;WD)(A;;KA;;;WD)";
constexpr wchar_t kOpenAcl[] = L"D:(A;;KA;;;WD)";

bool SetAcl(HKEY root, const std::wstring& path, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
        return false;
    }
    HKEY key = nullptr;
    bool done = ::RegOpenKeyExW(root, path.c_str(), 0, WRITE_DAC, &key) == ERROR_SUCCESS;
    if (done) {
        done = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
        ::RegCloseKey(key);
    }
    ::LocalFree(descriptor);
    return done;
}

}  // namespace

struct RegistrySandbox::State {
    std::wstring rootPath;
    HKEY root = nullptr;
    std::vector<std::wstring> locked;
};

RegistrySandbox::RegistrySandbox() : state_(std::make_unique<State>()) {
    state_->rootPath = std::wstring(kSandboxParent) + L"\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                       std::to_wstring(counter++);
    ::RegCreateKeyExW(HKEY_CURRENT_USER, state_->rootPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &state_->root, nullptr);
    ::RegOverridePredefKey(HKEY_CURRENT_USER, state_->root);
}

RegistrySandbox::~RegistrySandbox() {
    UnlockAll();
    ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (state_->root != nullptr) {
        ::RegDeleteTreeW(state_->root, nullptr);
        ::RegCloseKey(state_->root);
    }
    ::RegDeleteKeyW(HKEY_CURRENT_USER, state_->rootPath.c_str());
    // The common parent goes when no other sandbox uses it.
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kSandboxParent);
}

bool RegistrySandbox::LockKey(const std::wstring& path) {
    if (!SetAcl(state_->root, path, kLockedAcl)) return false;
    state_->locked.push_back(path);
    // Wine may keep the descriptor without checking it: see whether a change is refused.
    HKEY key = nullptr;
    LONG result = ::RegOpenKeyExW(state_->root, path.c_str(), 0, KEY_SET_VALUE, &key);
    if (result == ERROR_SUCCESS) ::RegCloseKey(key);
    return result == ERROR_ACCESS_DENIED;
}

void RegistrySandbox::UnlockAll() {
    for (const std::wstring& path : state_->locked) SetAcl(state_->root, path, kOpenAcl);
    state_->locked.clear();
}

std::wstring RegistrySandbox::StorePath() const { return {}; }

}  // namespace Arkova::Testing
