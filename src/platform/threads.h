// Processor count and pinning of the calling thread.
#pragma once

namespace Arkova::Platform {

// Number of logical processors; 0 when the system does not say.
unsigned HardwareThreadCount();
// Restricts the calling thread to one logical processor (numbered from 0).
bool PinCurrentThreadToProcessor(unsigned processor);

}  // namespace Arkova::Platform
