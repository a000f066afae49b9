#include "platform/threads.h"

#include <pthread.h>
#include <sched.h>

#include <thread>

namespace Arkova::Platform {

unsigned HardwareThreadCount() { return std::thread::hardware_concurrency(); }

bool PinCurrentThreadToProcessor(unsigned processor) {
    if (processor >= CPU_SETSIZE) return false;
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(processor, &set);
    return ::pthread_setaffinity_np(::pthread_self(), sizeof(set), &set) == 0;
}

}  // namespace Arkova::Platform
