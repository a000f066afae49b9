#include "fastzip/background_task.h"

#include <memory>
#include <system_error>

#include "platform/threads.h"

namespace Arkova::FastZip {

void BackgroundTask::Start(std::function<void()> work) {
    Wait();
    // Shared, so that the work outlives a thread that could not be started.
    auto shared = std::make_shared<std::function<void()>>(std::move(work));
    try {
        thread_ = std::thread([shared] {
            Platform::UnpinCurrentThread();
            Platform::SetCurrentThreadIdlePriority();
            (*shared)();
        });
    } catch (const std::system_error&) {
        (*shared)();
    }
}

void BackgroundTask::Wait() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace Arkova::FastZip
