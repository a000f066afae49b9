// A throw-away registry for one test, so that tests never see or change the user's settings: off Windows a fresh
// SQLite store in a scratch folder (ARKOVA_REGISTRY points at it); on Windows (Wine) a scratch key that
// HKEY_CURRENT_USER is redirected to for this process. Everything is removed when the sandbox ends.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace Arkova::Testing {

class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    // Makes changes to an existing key fail with access denied (its values, its sub-keys and its deletion). On
    // Windows only that key is locked; the SQLite store can only refuse changes as a whole. False when the system
    // does not enforce it.
    bool LockKey(const std::wstring& path);
    void UnlockAll();

    // Off Windows, the store's file.
    std::wstring StorePath() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace Arkova::Testing
