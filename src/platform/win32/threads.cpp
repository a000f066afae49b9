#include "platform/threads.h"

#include <windows.h>

namespace Arkova::Platform {

unsigned HardwareThreadCount() {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return info.dwNumberOfProcessors;
}

bool PinCurrentThreadToProcessor(unsigned processor) {
    if (processor >= sizeof(DWORD_PTR) * 8) return false;
    return ::SetThreadAffinityMask(::GetCurrentThread(), static_cast<DWORD_PTR>(1) << processor) != 0;
}

}  // namespace Arkova::Platform
