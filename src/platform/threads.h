// Processor count, and pinning of the calling thread.
#pragma once

namespace Arkova::Platform {

// Number of logical processors; 0 when the system does not say.
unsigned HardwareThreadCount();
// Restricts the calling thread to one logical processor (numbered from 0).
bool PinCurrentThreadToProcessor(unsigned processor);
// Lets the calling thread run on every processor the process runs on again: a new thread inherits the processors of
// the thread that made it, pinned or not.
bool UnpinCurrentThread();
// Runs the calling thread only on processors that have nothing else to do.
bool SetCurrentThreadIdlePriority();

}  // namespace Arkova::Platform
