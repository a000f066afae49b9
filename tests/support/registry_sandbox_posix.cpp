#include <cstdlib>
#include <optional>

#include "platform/text.h"
#include "support/registry_sandbox.h"
#include "support/scratch_folder.h"

namespace Arkova::Testing {

namespace {
constexpr char kVariable[] = "ARKOVA_REGISTRY";
}

struct RegistrySandbox::State {
    ScratchFolder folder;
    std::string storePath;
    std::optional<std::string> previous;
};

RegistrySandbox::RegistrySandbox() : state_(std::make_unique<State>()) {
    if (const char* previous = std::getenv(kVariable)) state_->previous = previous;
    state_->storePath = Platform::WideToUtf8(state_->folder / L"registry.sqlite3");
    ::setenv(kVariable, state_->storePath.c_str(), 1);
}

RegistrySandbox::~RegistrySandbox() {
    if (state_->previous) {
        ::setenv(kVariable, state_->previous->c_str(), 1);
    } else {
        ::unsetenv(kVariable);
    }
}

bool RegistrySandbox::LockKey(const std::wstring&) {
    // The store opened read-only: every change fails, reading still works.
    std::string uri = "file:" + state_->storePath + "?mode=ro";
    ::setenv(kVariable, uri.c_str(), 1);
    return true;
}

void RegistrySandbox::UnlockAll() { ::setenv(kVariable, state_->storePath.c_str(), 1); }

std::wstring RegistrySandbox::StorePath() const { return Platform::Utf8ToWide(state_->storePath); }

}  // namespace Arkova::Testing
