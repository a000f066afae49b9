#include "platform/threads.h"

#include <pthread.h>
#include <sched.h>
#include <unistd.h>

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

bool UnpinCurrentThread() {
    // The process's own processors are those of its main thread, whose thread id is the process id; it is never
    // pinned.
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(::getpid(), sizeof(set), &set) != 0) return false;
    return ::pthread_setaffinity_np(::pthread_self(), sizeof(set), &set) == 0;
}

bool SetCurrentThreadIdlePriority() {
#ifdef SCHED_IDLE
    sched_param parameters{};
    return ::pthread_setschedparam(::pthread_self(), SCHED_IDLE, &parameters) == 0;
#else
    return false;
#endif
}

}  // namespace Arkova::Platform
